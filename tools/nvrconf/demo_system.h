// Demo data of the system pages: outputs and audio, host name, service
// ports, retention times and the record mode of the demo cameras.
#pragma once

#include <cstddef>

// Stores each demo record that the database does not hold yet; 0, or -1
// when one cannot be stored.
int nvrconf_add_demo_system();
