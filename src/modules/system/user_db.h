// Typed access to the user accounts of the configuration database (records
// of kind kRecUser keyed by the account id, 0 to 99).
#pragma once

#include "modules/system/oem_user_record.h"
#include "modules/system/user_record.h"

// kRecFound, kRecAbsent (record zeroed) or -1; ids outside 0..99 give -1.
int read_user(const char *db, UserRecord *record, int id);
// Every stored slot (deleted ones too) in id order, at most
// kUserMaxAccounts; each record's id is the one it is stored under. The
// number read goes to `count`; 0, or -1 on failure.
int read_users(const char *db, UserRecord *array, int *count);
// Stores the record under its own id; -1 for an id outside 0..99 or a
// failed write.
int write_user(const char *db, const UserRecord *record);
// Stores the record in the lowest id that no account in use holds and sets
// its id; -1 (id unchanged) when all are in use or the write failed.
int add_user(const char *db, UserRecord *record);
// Copies the account in use named exactly `name` into `record`; deleted
// slots never match. 0, or -1 with `record` unchanged.
int read_user_by_name(const char *db, UserRecord *record, const char *name);
// The number of accounts in use; -1 on failure.
int read_user_count(const char *db);
// The accounts of the OEM account file (at most `capacity`); the number
// read, or -1 when the file cannot be read.
int read_users_oem(const char *db, OemUserRecord *array, int capacity);

// Holds the lock that serialises account changes between request processes.
class UserLock {
public:
    UserLock();
    ~UserLock();
    UserLock(const UserLock &) = delete;
    UserLock &operator=(const UserLock &) = delete;

private:
    int fd_;
};
