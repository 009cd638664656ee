// nvrconf, run as the program it is (also under the profile tool's name), in
// a private device root.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "modules/system/user_record.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

#ifdef NVR_NVRCONF

namespace {

class NvrConf : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }

    // Runs `program` with `args`; its exit code, its standard output in `out`.
    int run_as(const std::string &program, const std::vector<std::string> &args, std::string *out = nullptr)
    {
        const std::string out_file = root_ / "tool.out";
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int null_fd = open("/dev/null", O_WRONLY);
            dup2(fd, 1);
            dup2(null_fd, 2);
            std::vector<char *> argv{const_cast<char *>(program.c_str())};
            for (const std::string &arg : args)
                argv.push_back(const_cast<char *>(arg.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (out != nullptr)
            *out = read_whole_file(out_file);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int run(const std::vector<std::string> &args, std::string *out = nullptr)
    {
        return run_as(NVR_NVRCONF, args, out);
    }

    // The tool installed under the profile tool's name in the root's bin/.
    std::string profile_tool()
    {
        std::filesystem::create_directories(root_ / "bin");
        const std::string link = root_ / "bin/zqprofile";
        std::filesystem::create_symlink(NVR_NVRCONF, link);
        return link;
    }

    UserRecord user(int id)
    {
        UserRecord record{};
        EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, id, &record, sizeof record), kRecFound)
            << "user " << id;
        return record;
    }

    TempRoot root_;
};

TEST_F(NvrConf, InitCreatesTheFactoryKeysAndKeepsChangedOnes)
{
    std::filesystem::remove_all(root_ / "mnt");
    ASSERT_EQ(run({"init"}), 0) << "init creates the database folder too";
    std::string out;
    EXPECT_EQ(run({"get", "software_version"}, &out), 0);
    EXPECT_EQ(out, "7x.7.0.9\n");
    EXPECT_EQ(set_param_int(ZQDB_PATH, "zqfs_dbup", 1), 0) << "keys the program updates in place exist";
    EXPECT_EQ(set_param_int(ZQDB_PATH, "permission_update", 1), 0);

    ASSERT_EQ(run({"set", "software_version", "changed"}), 0);
    ASSERT_EQ(run({"init"}), 0);
    EXPECT_EQ(run({"get", "software_version"}, &out), 0);
    EXPECT_EQ(out, "changed\n");

    ASSERT_EQ(run({"init", "--demo"}), 0);
    EXPECT_EQ(run({"get", "model"}, &out), 0);
    EXPECT_NE(out, "\n") << "the demo device has a model";
}

TEST_F(NvrConf, InitAddsTheFactoryAdminWithoutPasswordOnlyToAnEmptyTable)
{
    ASSERT_EQ(run({"init"}), 0);
    UserRecord admin = user(0);
    EXPECT_STREQ(admin.name, "admin");
    EXPECT_EQ(admin.enable, 1);
    EXPECT_EQ(admin.password[0], '\0') << "no login until a password is set";

    ASSERT_EQ(run({"passwd", "admin", "abc"}), 0);
    ASSERT_EQ(run({"init"}), 0);
    admin = user(0);
    EXPECT_EQ(std::string(admin.password, 32), "900150983cd24fb0d6963f7d28e17f72") << "a set password stays";
}

TEST_F(NvrConf, RecordStoresAndPrintsRawRecords)
{
    ASSERT_EQ(run({"init"}), 0);
    std::string out;
    EXPECT_EQ(run({"record", "1", "7"}, &out), 1) << "absent";
    ASSERT_EQ(run({"record", "1", "7", "070000000100"}), 0);
    EXPECT_EQ(run({"record", "1", "7"}, &out), 0);
    EXPECT_EQ(out, "070000000100\n");
    EXPECT_EQ(run({"record", "1", "7", "0g"}), 1);
    EXPECT_EQ(run({"record", "1", "x", "00"}), 1);
}

TEST_F(NvrConf, SetCreatesOrReplacesAndGetPrintsTheValue)
{
    std::string out;
    EXPECT_EQ(run({"get", "device_name"}, &out), 1);
    EXPECT_EQ(out, "");
    ASSERT_EQ(run({"set", "device_name", "Front door; $(rm -rf /) \"x\""}), 0);
    EXPECT_EQ(run({"get", "device_name"}, &out), 0);
    EXPECT_EQ(out, "Front door; $(rm -rf /) \"x\"\n");
    ASSERT_EQ(run({"set", "device_name", ""}), 0);
    EXPECT_EQ(run({"get", "device_name"}, &out), 0);
    EXPECT_EQ(out, "\n");

    EXPECT_EQ(run({"set", "only-key"}), 2);
    EXPECT_EQ(run({"frobnicate"}), 2);
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--help"}, &out), 0);
    EXPECT_NE(out.find("passwd USER PASSWORD"), std::string::npos);
}

TEST_F(NvrConf, PasswdStoresTheDigestAndAssignsIds)
{
    ASSERT_EQ(run({"passwd", "admin", "abc"}), 0);
    UserRecord admin = user(0);
    EXPECT_EQ(admin.id, 0);
    EXPECT_EQ(admin.enable, 1);
    EXPECT_STREQ(admin.name, "admin");
    EXPECT_EQ(std::string(admin.password, sizeof admin.password),
              std::string("900150983cd24fb0d6963f7d28e17f72\0\0\0\0", 36));
    EXPECT_NE(admin.type, kUserTypeNoLogin) << "a created account may log in";

    ASSERT_EQ(run({"passwd", "guest", ""}), 0);
    EXPECT_STREQ(user(1).password, "d41d8cd98f00b204e9800998ecf8427e");

    // An existing account keeps its id and every other field.
    admin.type = 2;
    admin.local_rights[3] = 0;
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, &admin, sizeof admin), 0);
    ASSERT_EQ(run({"passwd", "admin", "secret"}), 0);
    const UserRecord changed = user(0);
    EXPECT_EQ(changed.type, 2);
    EXPECT_EQ(changed.local_rights[3], 0);
    EXPECT_STREQ(changed.password, "5ebe2294ecd0e0f08eab7690d2a6ee69");
    EXPECT_EQ(user(1).enable, 1);

    // A freed slot is the lowest free id; its old name does not match.
    UserRecord freed{};
    freed.id = 0;
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, &freed, sizeof freed), 0);
    ASSERT_EQ(run({"passwd", "guest", "abc"}), 0);
    EXPECT_EQ(user(0).enable, 0) << "changing guest's password keeps guest at id 1";
    ASSERT_EQ(run({"passwd", "operator", "abc"}), 0);
    EXPECT_STREQ(user(0).name, "operator");
    EXPECT_EQ(user(0).id, 0);

    EXPECT_EQ(run({"passwd", "", "abc"}), 1);
    EXPECT_EQ(run({"passwd", std::string(64, 'n'), "abc"}), 1) << "a name that does not fit is refused";
}

TEST_F(NvrConf, ProfileToolExportThenImportRestoresAChangedValue)
{
    ASSERT_EQ(run({"init"}), 0);
    ASSERT_EQ(run({"set", "model", "before"}), 0);
    ASSERT_EQ(run({"passwd", "admin", "abc"}), 0);
    const std::string tool = profile_tool();

    ASSERT_EQ(run_as(tool, {"-e", "/tmp"}), 0);
    const std::string index = read_whole_file(root_ / "tmp/.export_down_file");
    ASSERT_EQ(index.rfind("/tmp/", 0), 0U) << "the index names the device path: " << index;
    EXPECT_EQ(index.find_first_of("/", 5), std::string::npos) << "the export lies directly in /tmp";
    EXPECT_EQ(index.find_first_of(" \n\"'$;&|`"), std::string::npos) << index;
    ASSERT_TRUE(std::filesystem::is_regular_file(root_.path() + index));

    ASSERT_EQ(run({"set", "model", "after"}), 0);
    ASSERT_EQ(run({"passwd", "admin", "other"}), 0);
    ASSERT_EQ(run_as(tool, {"-i", index}), 0);
    std::string out;
    EXPECT_EQ(run({"get", "model"}, &out), 0);
    EXPECT_EQ(out, "before\n");
    EXPECT_STREQ(user(0).password, "900150983cd24fb0d6963f7d28e17f72");

    // The real path works as well as the device path; a bad file fails.
    ASSERT_EQ(run({"set", "model", "after"}), 0);
    EXPECT_EQ(run({"import", root_.path() + index}), 0);
    EXPECT_EQ(run({"get", "model"}, &out), 0);
    EXPECT_EQ(out, "before\n");
    EXPECT_NE(run_as(tool, {"-i", "/tmp/.export_down_file"}), 0);
    EXPECT_NE(run_as(tool, {"-i", "/tmp/missing"}), 0);
    EXPECT_NE(run_as(tool, {"-e", "/no/such/folder"}), 0);
    EXPECT_EQ(run_as(tool, {"-x", "/tmp"}), 2);
    EXPECT_EQ(run({"get", "model"}, &out), 0);
    EXPECT_EQ(out, "before\n");
}

TEST_F(NvrConf, DumpShowsKeysAndRecords)
{
    ASSERT_EQ(run({"set", "model", "NVR-1"}), 0);
    ASSERT_EQ(run({"passwd", "admin", "abc"}), 0);
    std::string out;
    ASSERT_EQ(run({"dump"}, &out), 0);
    EXPECT_NE(out.find("model = NVR-1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("id 0, 528 bytes: name \"admin\""), std::string::npos) << out;
    EXPECT_NE(out.find("3cd24fb0d6963f7d"), std::string::npos) << out;
}

} // namespace

#endif
