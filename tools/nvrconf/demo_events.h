// Demo data of the motion pages and of the accounts for `nvrconf init --demo`.
#pragma once

// Motion detection with its actions on the demo cameras' channels, and
// their effective and e-mail schedules. 0, or -1 when a record could not be
// stored. Records already stored are kept.
int add_demo_motion();

// Two accounts beside the factory one, both with the demo password: an
// operator without the settings and shutdown rights, and a guest who may
// only watch the first two channels live and play back the first. 0 or -1.
int add_demo_accounts(const char *password);
