// nvrconf: creates, reads, writes, exports and imports the configuration
// database. Installed as "zqprofile" it is the device's profile tool, which
// the web back end runs to export ("-e DIR") and import ("-i FILE") the
// configuration.
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "demo_events.h"

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "demo_network.h"
#include "demo_system.h"
#include "codecs/schedule.h"
#include "demo_alarm.h"
#include "front/session.h"
#include "modules/camera/camera_records.h"
#include "modules/system/user_record.h"
#include "modules/system/user_session.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"
#include "nvrconf.h"

int fail(const char *what, const char *detail)
{
    fprintf(stderr, "nvrconf: %s%s%s\n", what, detail[0] != '\0' ? ": " : "", detail);
    return kExitFailed;
}

int store_if_absent(int kind, int id, const void *record, size_t size)
{
    // Reading the first byte tells whether the record is there.
    unsigned char first = 0;
    const int found = confdb_read_record(ZQDB_PATH, kind, id, &first, sizeof first);
    if (found != kRecAbsent)
        return found == kRecFound ? 0 : -1;
    return confdb_write_record(ZQDB_PATH, kind, id, record, size);
}

namespace {

constexpr const char *kExportIndexPath = "/tmp/.export_down_file";
constexpr const char *kProfileToolName = "zqprofile";
constexpr int kExitUsage = 2;

const char *const kUsage = "usage: nvrconf COMMAND [ARGS]\n"
                           "Configuration database tool. The database is $NVR_ROOT/mnt/nand/app/zqdb.db\n"
                           "(NVR_ROOT unset on the device).\n"
                           "\n"
                           "  init [--demo]        create the database (and its folder) with the factory\n"
                           "                       keys; keys already present keep their values. A\n"
                           "                       database without accounts gets the factory account\n"
                           "                       \"admin\" with no password: nobody can log in until\n"
                           "                       one is set with passwd. Missing factory camera\n"
                           "                       protocols and models are stored. --demo also\n"
                           "                       stores demo device settings, four cameras on\n"
                           "                       the first four channels with motion detection,\n"
                           "                       their recording settings and schedules, a few\n"
                           "                       holidays, the network settings, and the accounts\n"
                           "                       \"operator\" and \"guest\" with the password\n"
                           "                       demo1234 (set ones are kept).\n"
                           "  get KEY              print the value of KEY (exit 1 when it is absent)\n"
                           "  set KEY VALUE        store VALUE under KEY, creating the key when missing\n"
                           "  passwd USER PASSWORD store the MD5 digest of PASSWORD in USER's account;\n"
                           "                       a missing account is created (lowest free id, every\n"
                           "                       right granted); the account's web sessions end\n"
                           "  rights USER FLAGS [LIVEVIEW PLAYBACK]\n"
                           "                       set the web (remote) rights of USER's account: FLAGS\n"
                           "                       is ten 0/1 characters for live view, playback,\n"
                           "                       retrieve, smart analysis, event, camera, storage,\n"
                           "                       settings, status, shutdown; LIVEVIEW and PLAYBACK\n"
                           "                       are channel lists ('1' at i allows channel i, at\n"
                           "                       most 64). Live sessions follow at once\n"
                           "  dump                 print every key and record\n"
                           "  record KIND ID [HEX]  print record ID of KIND in hexadecimal (exit 1 when\n"
                           "                       absent), or store HEX as that record\n"
                           "  export DIR           write the configuration to a new file in DIR and its\n"
                           "                       device path to /tmp/.export_down_file\n"
                           "  import FILE          store the keys and records of an exported FILE over the\n"
                           "                       current ones (others are kept); nothing changes when\n"
                           "                       FILE is not a sound export\n"
                           "\n"
                           "Absolute paths are device paths: they are taken below $NVR_ROOT unless they\n"
                           "already lie there. Exit status: 0 done, 1 failed, 2 usage error.\n"
                           "Installed as \"zqprofile\", the tool takes the profile tool's arguments:\n"
                           "  zqprofile -e DIR      (as export DIR)\n"
                           "  zqprofile -i FILE     (as import FILE)\n";

struct FactoryKey {
    const char *key;
    const char *value;
};

// Keys the program updates in place (an update of a missing key fails), with
// the values that their readers take as default.
constexpr FactoryKey kFactoryKeys[] = {
    {"access_filter_enable", "0"},
    {"access_filter_type", "1"},
    {"deviceid", "255"},
    {"display_mode", "0"},
    {"failover_mode", "0"},
    {"group_mode", "0"},
    {"hardware_version", "V1.1"},
    {"hdmihotplug", "1"},
    {"homologous", "1"},
    {"httpsenable", "0"},
    {"local_auth_enable", "0"},
    {"max_cameras", "32"},
    {"max_poe_num", "0"},
    {"model", ""},
    {"oem_type", "0"},
    {"oemupdateonline", "0"},
    {"permission_update", "0"},
    {"plugin_version", "1.0"},
    {"mplugin_version", "1.0"},
    {"quick_screen", "0"},
    {"same_channel_exist", "0"},
    {"software_version", "7x.7.0.9"},
    {"stream_information", "0"},
    {"transport_protocol", "0"},
    {"wizard_enable", "0"},
    {"zqfs_dbup", "0"},
};

// The password of the demo accounts beside the factory one.
constexpr const char *kDemoPassword = "demo1234";

constexpr FactoryKey kDemoKeys[] = {
    {"model", "NVR-3216"},
    {"device_name", "Demo Recorder"},
    {"hardware_version", "V1.1"},
    {"software_version", "7x.7.0.9"},
    {"max_cameras", "16"},
    {"max_poe_num", "8"},
    {"deviceid", "1"},
    {"mac_addr", "001E4A3C5D10"},
};

// Camera protocols of a factory device. Our own protocol starts with its
// models shown; the protocol list clears that once it is read.
struct FactoryProtocol {
    int32_t id;
    const char *name;
    int32_t protocolFunction;
    int32_t display_model;
};
constexpr FactoryProtocol kFactoryProtocols[] = {
    {0, "ONVIF", 7, 0},
    {1, "RTSP", 1, 0},
    {2, "ZQSF", 15, 1},
};

// Camera models; a camera's protocol value names one of them by id, so the
// first three are each protocol's generic model.
struct FactoryModel {
    int32_t id;
    int32_t protocol;
    const char *name;
    int32_t alarm_type;
    int32_t default_model;
};
constexpr FactoryModel kFactoryModels[] = {
    {0, 0, "ONVIF Generic", 0, 1}, {1, 1, "RTSP Generic", 0, 1}, {2, 2, "ZQ-IPC", 1, 1},
    {3, 0, "ONVIF PTZ", 1, 0},     {4, 2, "ZQ-IPC-PTZ", 1, 0},   {5, 2, "ZQ-IPC-Fisheye", 1, 0},
};

// Cameras of the demo device on the first channels; the one with RTSP
// addresses is added by its stream paths.
struct DemoCamera {
    const char *name;
    const char *ipAddr;
    int32_t camProtocol;
    int32_t transmitProtocol;
    const char *mainrtspurl;
    const char *subrtspurl;
};
constexpr DemoCamera kDemoCameras[] = {
    {"Front door", "192.168.1.101", 0, 1, "", ""},
    {"Garage", "192.168.1.102", 0, 0, "", ""},
    {"Back yard", "192.168.1.103", 1, 1, "rtsp://192.168.1.103:554/stream1",
     "rtsp://192.168.1.103:554/stream2"},
    {"Lobby", "192.168.1.104", 0, 1, "", ""},
};
constexpr int kDemoCameraPort = 80;
constexpr int kDemoRtspPort = 554;

// A path argument: device paths are resolved below NVR_ROOT, relative paths
// and paths already below NVR_ROOT are taken as they are.
std::string real_path(const char *arg)
{
    const char *root = getenv("NVR_ROOT");
    if (arg[0] != '/' || root == nullptr || root[0] == '\0')
        return arg;
    size_t n = strlen(root);
    while (n > 0 && root[n - 1] == '/')
        --n;
    if (strncmp(arg, root, n) == 0 && (arg[n] == '/' || arg[n] == '\0'))
        return arg;
    return std::string(root, n) + arg;
}

// The device path of a real absolute path: NVR_ROOT stripped when it leads.
std::string device_path(const std::string &path)
{
    const char *root = getenv("NVR_ROOT");
    if (root == nullptr || root[0] == '\0')
        return path;
    char resolved_root[PATH_MAX];
    if (realpath(root, resolved_root) == nullptr)
        return path;
    const size_t n = strlen(resolved_root);
    if (path.compare(0, n, resolved_root) == 0 && path.size() > n && path[n] == '/')
        return path.substr(n);
    return path;
}

// Creates every missing folder of `path` (the last component excluded).
void make_parent_dirs(const std::string &path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST)
            return;
    }
}

// Replaces `path` with `text` through a new file renamed over it.
bool write_file_atomically(const std::string &path, const std::string &text)
{
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok =
        fchmod(fd, 0644) == 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

int add_factory_account();

int add_factory_cameras()
{
    for (const FactoryProtocol &entry : kFactoryProtocols) {
        ipc_protocol_record protocol{};
        protocol.id = entry.id;
        snprintf(protocol.name, sizeof protocol.name, "%s", entry.name);
        protocol.protocolFunction = entry.protocolFunction;
        protocol.enable = 1;
        protocol.display_model = entry.display_model;
        if (store_if_absent(kRecIpcProtocol, protocol.id, &protocol, sizeof protocol) != 0)
            return fail("cannot store the camera protocol", entry.name);
    }
    for (const FactoryModel &entry : kFactoryModels) {
        ipc_model_record model{};
        model.id = entry.id;
        model.protocol = entry.protocol;
        snprintf(model.name, sizeof model.name, "%s", entry.name);
        model.alarm_type = entry.alarm_type;
        model.default_model = entry.default_model;
        if (store_if_absent(kRecIpcModel, model.id, &model, sizeof model) != 0)
            return fail("cannot store the camera model", entry.name);
    }
    return kExitOk;
}

camera_record demo_camera(int32_t chnid, const DemoCamera &entry)
{
    camera_record camera{};
    camera.id = chnid;
    camera.enable = 1;
    snprintf(camera.userName, sizeof camera.userName, "admin");
    snprintf(camera.password, sizeof camera.password, "demo1234");
    snprintf(camera.ipAddr, sizeof camera.ipAddr, "%s", entry.ipAddr);
    camera.managePort = kDemoCameraPort;
    camera.camProtocol = entry.camProtocol;
    camera.transmitProtocol = entry.transmitProtocol;
    camera.enableSubStream = 1;
    camera.syncTime = 1;
    if (entry.mainrtspurl[0] != '\0') {
        camera.mainRtspPort = camera.subRtspPort = kDemoRtspPort;
        snprintf(camera.mainSourcePath, sizeof camera.mainSourcePath, "/stream1");
        snprintf(camera.subSourcePath, sizeof camera.subSourcePath, "/stream2");
        snprintf(camera.mainrtspurl, sizeof camera.mainrtspurl, "%s", entry.mainrtspurl);
        snprintf(camera.subrtspurl, sizeof camera.subrtspurl, "%s", entry.subrtspurl);
    }
    return camera;
}

// The demo cameras go to channels that hold no camera yet; each gets its
// name with the channel's OSD setting.
int add_demo_cameras()
{
    int32_t chnid = 0;
    for (const DemoCamera &entry : kDemoCameras) {
        const camera_record camera = demo_camera(chnid, entry);
        osd_record osd{};
        osd.camId = chnid;
        snprintf(osd.camName, sizeof osd.camName, "%s", entry.name);
        osd.showName = osd.showDate = 1;
        if (store_if_absent(kRecCamera, chnid, &camera, sizeof camera) != 0 ||
            store_if_absent(kRecOsd, chnid, &osd, sizeof osd) != 0)
            return fail("cannot store the demo camera", entry.name);
        ++chnid;
    }
    return kExitOk;
}

int cmd_init(bool demo)
{
    const NvrPath db_file(ZQDB_PATH);
    make_parent_dirs(db_file.c_str());
    if (confdb_init_schema(ZQDB_PATH) != 0)
        return fail("cannot create the database", db_file.c_str());
    for (const FactoryKey &entry : kFactoryKeys) {
        if (check_param_key(ZQDB_PATH, entry.key) != 0 &&
            add_param_value(ZQDB_PATH, entry.key, entry.value) != 0)
            return fail("cannot store key", entry.key);
    }
    if (add_factory_account() != kExitOk || add_factory_cameras() != kExitOk)
        return kExitFailed;
    if (demo) {
        for (const FactoryKey &entry : kDemoKeys) {
            if (add_param_value(ZQDB_PATH, entry.key, entry.value) != 0)
                return fail("cannot store key", entry.key);
        }
        if (add_demo_network() != 0)
            return fail("cannot store the demo network settings", "");
        if (add_demo_netsvc() != 0)
            return fail("cannot store the demo network service settings", "");
        if (add_demo_motion() != 0)
            return fail("cannot store the demo motion settings", "");
        if (add_demo_accounts(kDemoPassword) != 0)
            return fail("cannot store the demo accounts", "");
        if (add_demo_cameras() != kExitOk)
            return kExitFailed;
        if (add_demo_alarms(store_if_absent) != 0)
            return fail("cannot store the demo alarms", "");
        if (add_demo_camera_image() != 0)
            return fail("cannot store the demo camera image settings", "");
        if (add_demo_video() != 0)
            return fail("cannot store the demo video settings", "");
        if (add_demo_ptz() != 0)
            return fail("cannot store the demo PTZ settings", "");
        if (add_demo_camera_features() != 0)
            return fail("cannot store the demo camera feature settings", "");
        if (add_demo_peoplecnt() != 0)
            return fail("cannot store the demo people counting settings", "");
        if (add_demo_storage() != 0)
            return fail("cannot store the demo storage settings", "");
        if (add_demo_vca() != 0)
            return fail("cannot store the demo smart events", "");
        if (add_demo_anpr() != 0)
            return fail("cannot store the demo plate lists", "");
        if (add_demo_settings() != 0)
            return fail("cannot store the demo access settings", "");
        if (add_demo_snapshot() != 0)
            return fail("cannot store the demo snapshot and camera event settings", "");
        // The recording pages' own demo settings come before the system
        // pages' record modes, which keep what is stored.
        if (add_demo_recording() != kExitOk)
            return kExitFailed;
        if (nvrconf_add_demo_system() != 0)
            return fail("cannot store the demo device settings", "");
        return kExitOk;
    }
    return kExitOk;
}

int cmd_get(const char *key)
{
    if (check_param_key(ZQDB_PATH, key) != 0)
        return fail("no such key", key);
    static char value[65536];
    get_param_value(ZQDB_PATH, key, value, sizeof value, "");
    printf("%s\n", value);
    return kExitOk;
}

int cmd_set(const char *key, const char *value)
{
    return add_param_value(ZQDB_PATH, key, value) == 0 ? kExitOk : fail("cannot store key", key);
}

bool md5_hex(const char *text, char out[33])
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text, strlen(text), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        return false;
    for (unsigned int i = 0; i < length; ++i)
        snprintf(out + 2 * i, 3, "%02x", digest[i]);
    return true;
}

// A new account with every channel and right granted.
UserRecord new_user(int id, const char *name)
{
    UserRecord user{};
    user.id = id;
    user.enable = 1;
    snprintf(user.name, sizeof user.name, "%s", name);
    for (char *list : {user.local_liveview, user.local_playback, user.remote_liveview, user.remote_playback})
        memset(list, '1', sizeof user.local_liveview - 1);
    user.local_liveview_bits = user.local_playback_bits = UINT32_MAX;
    user.remote_liveview_bits = user.remote_playback_bits = UINT32_MAX;
    for (int i = 0; i < kUserRights; ++i)
        user.local_rights[i] = user.remote_rights[i] = 1;
    user.permission = -1;
    user.remote_permission = -1;
    snprintf(user.created, sizeof user.created, "0");
    return user;
}

// The factory account, stored only into a database without any account.
// Its empty digest matches no login.
int add_factory_account()
{
    UserRecord users[1];
    const int count = confdb_read_records(ZQDB_PATH, kRecUser, users, sizeof(UserRecord), 1, nullptr);
    if (count < 0)
        return fail("cannot read the accounts", "");
    if (count > 0)
        return kExitOk;
    const UserRecord admin = new_user(0, "admin");
    if (confdb_write_record(ZQDB_PATH, kRecUser, 0, &admin, sizeof admin) != 0)
        return fail("cannot store the account", "admin");
    return kExitOk;
}

// The account named `name` into `user`: the one in use keeps its id; with
// `create`, a missing one is made in the lowest id that no account in use
// holds. kExitOk, or the exit status of the failure (already reported).
int find_account(const char *name, bool create, UserRecord *user)
{
    if (name[0] == '\0' || strlen(name) >= sizeof(UserRecord::name))
        return fail("the user name must have 1 to 63 characters", name);
    std::vector<UserRecord> users(kUserMaxAccounts);
    int ids[kUserMaxAccounts];
    const int count =
        confdb_read_records(ZQDB_PATH, kRecUser, users.data(), sizeof(UserRecord), kUserMaxAccounts, ids);
    if (count < 0)
        return fail("cannot read the accounts", "");
    bool used[kUserMaxAccounts] = {};
    for (int i = 0; i < count; ++i) {
        if (users[i].enable == 0 || ids[i] < 0 || ids[i] >= kUserMaxAccounts)
            continue;
        used[ids[i]] = true;
        if (strncmp(users[i].name, name, sizeof users[i].name) == 0) {
            *user = users[i];
            user->id = ids[i];
            return kExitOk;
        }
    }
    if (!create)
        return fail("no such account", name);
    int id = 0;
    while (id < kUserMaxAccounts && used[id])
        ++id;
    if (id == kUserMaxAccounts)
        return fail("no free account", name);
    *user = new_user(id, name);
    return kExitOk;
}

int cmd_passwd(const char *name, const char *password)
{
    UserRecord user{};
    if (const int status = find_account(name, true, &user); status != kExitOk)
        return status;
    char digest[33];
    if (!md5_hex(password, digest))
        return fail("cannot compute the MD5 digest", "");
    memset(user.password, 0, sizeof user.password);
    memcpy(user.password, digest, 32);
    if (confdb_write_record(ZQDB_PATH, kRecUser, user.id, &user, sizeof user) != 0)
        return fail("cannot store the account", name);
    // A new password ends the account's web sessions.
    session_end_account(user.id, nullptr);
    printf("user %s id %d\n", name, user.id);
    return kExitOk;
}

// `text` is 1 to `most` characters of '0' and '1'.
bool is_flag_text(const char *text, size_t most)
{
    const size_t length = strlen(text);
    return length >= 1 && length <= most && strspn(text, "01") == length;
}

// Replaces a channel list of the account and its bits.
void set_channel_list(char (&list)[65], uint32_t *bits, const char *text)
{
    memset(list, 0, sizeof list);
    memcpy(list, text, strlen(text));
    *bits = static_cast<uint32_t>(channel_mask_from_text(list));
}

int cmd_rights(const char *name, const char *flags, const char *liveview, const char *playback)
{
    if (!is_flag_text(flags, kUserRights) || strlen(flags) != kUserRights)
        return fail("the rights are ten characters 0 or 1", flags);
    for (const char *list : {liveview, playback}) {
        if (list != nullptr && !is_flag_text(list, 64))
            return fail("a channel list is 1 to 64 characters 0 or 1", list);
    }
    UserRecord user{};
    if (const int status = find_account(name, false, &user); status != kExitOk)
        return status;
    for (int i = 0; i < kUserRights; ++i)
        user.remote_rights[i] = flags[i] == '1' ? 1 : 0;
    if (liveview != nullptr)
        set_channel_list(user.remote_liveview, &user.remote_liveview_bits, liveview);
    if (playback != nullptr)
        set_channel_list(user.remote_playback, &user.remote_playback_bits, playback);
    if (confdb_write_record(ZQDB_PATH, kRecUser, user.id, &user, sizeof user) != 0)
        return fail("cannot store the account", name);
    // Live sessions of the account hold the new rights from their next request.
    session_update_account(user.id, user_session_access(user));
    printf("user %s id %d rights %s\n", name, user.id, flags);
    return kExitOk;
}

int print_param(const char *key, const char *value, void *)
{
    printf("%s = %s\n", key, value);
    return 0;
}

const char *kind_name(int kind)
{
    switch (kind) {
    case kRecUser:
        return "user";
    case kRecCamera:
        return "camera";
    case kRecMotion:
        return "motion";
    case kRecDisk:
        return "disk";
    case kRecMotionSchedule:
    case kRecMotionEffectiveSchedule:
    case kRecMotionAudibleSchedule:
    case kRecMotionEmailSchedule:
    case kRecMotionPtzSchedule:
        return "motion schedule";
    case kRecWhiteLedSchedule:
    case kRecHttpSchedule:
        return "action schedule";
    case kRecWhiteLedParams:
        return "white LED actions";
    case kRecHttpParams:
        return "HTTP notification";
    case kRecPtzActions:
        return "PTZ actions";
    case kRecAlarmAudioFiles:
        return "alarm sounds";
    case kRecVideolossAudibleSchedule:
    case kRecVideolossEmailSchedule:
    case kRecVideolossPtzSchedule:
        return "video loss schedule";
    case kRecAlarminAudibleSchedule:
    case kRecAlarminEmailSchedule:
    case kRecAlarminEffectiveSchedule:
    case kRecAlarminPtzSchedule:
        return "alarm input schedule";
    case kRecOsd:
        return "OSD";
    case kRecPrivacyMask:
        return "privacy masks";
    case kRecIpcProtocol:
        return "camera protocol";
    case kRecIpcModel:
        return "camera model";
    case kRecSmartEventEffectiveSchedule:
        return "smart event schedule";
    case kRecIpcExposure:
        return "camera exposure list";
    case kRecAlarmIn:
        return "alarm input";
    case kRecAlarmOut:
        return "alarm output";
    case kRecAlarmChnInEvent:
        return "camera alarm input";
    case kRecAlarmChnInName:
    case kRecAlarmChnOutName:
        return "camera alarm name";
    case kRecAlarmInSchedule:
    case kRecAlarmOutSchedule:
    case kRecAlarmChnInEffectiveSchedule:
    case kRecAlarmChnInAudibleSchedule:
    case kRecAlarmChnInMailSchedule:
    case kRecAlarmChnInPtzSchedule:
    case kRecAlarmChnOutEffectiveSchedule:
        return "alarm schedule";
    case kRecDisarming:
        return "disarming";
    case kRecVideoLoss:
        return "video loss";
    case kRecVideoLossSchedule:
        return "video loss schedule";
    case kRecTriggerAlarms:
        return "exception alarms";
    case kRecDiskGroup:
        return "disk group";
    case kRecEsataBackup:
        return "eSATA backup";
    case kRecSmartEvent:
        return "smart event";
    case kRecSmartEventAudibleSchedule:
        return "smart event audible schedule";
    case kRecSmartEventMailSchedule:
        return "smart event mail schedule";
    case kRecSmartEventPtzSchedule:
        return "smart event ptz schedule";
    default:
        return "?";
    }
}

// Hex and text, 16 bytes a line; runs of all-zero lines print as "*".
void hex_dump(const unsigned char *data, size_t size)
{
    static const unsigned char kZeros[16] = {};
    bool skipping = false;
    for (size_t at = 0; at < size; at += 16) {
        const size_t n = size - at < 16 ? size - at : 16;
        if (n == 16 && at > 0 && at + 16 < size && memcmp(data + at, kZeros, 16) == 0) {
            if (!skipping)
                printf("  *\n");
            skipping = true;
            continue;
        }
        skipping = false;
        printf("  %06zx ", at);
        for (size_t i = 0; i < 16; ++i) {
            if (i < n)
                printf(" %02x", data[at + i]);
            else
                printf("   ");
        }
        printf("  |");
        for (size_t i = 0; i < n; ++i)
            putchar(data[at + i] >= 0x20 && data[at + i] < 0x7f ? data[at + i] : '.');
        printf("|\n");
    }
}

int print_record(int kind, int id, const void *data, size_t size, void *)
{
    printf("record %s (kind %d) id %d, %zu bytes", kind_name(kind), kind, id, size);
    if (kind == kRecUser && size >= sizeof(UserRecord)) {
        UserRecord user;
        memcpy(&user, data, sizeof user);
        printf(": name \"%.*s\" enable %d type %d", static_cast<int>(strnlen(user.name, sizeof user.name)),
               user.name, user.enable, user.type);
    }
    printf("\n");
    hex_dump(static_cast<const unsigned char *>(data), size);
    return 0;
}

int cmd_dump()
{
    printf("[keys]\n");
    if (confdb_for_each_param(ZQDB_PATH, print_param, nullptr) != 0)
        return fail("cannot read the keys", "");
    printf("[records]\n");
    if (confdb_for_each_record(ZQDB_PATH, print_record, nullptr) != 0)
        return fail("cannot read the records", "");
    return kExitOk;
}

bool parse_number(const char *text, int *out)
{
    char *end = nullptr;
    errno = 0;
    const long value = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < INT_MIN || value > INT_MAX)
        return false;
    *out = static_cast<int>(value);
    return true;
}

int cmd_record(const char *kind_arg, const char *id_arg, const char *hex)
{
    int kind = 0;
    int id = 0;
    if (!parse_number(kind_arg, &kind) || !parse_number(id_arg, &id))
        return fail("the record kind and id must be numbers", "");
    std::vector<unsigned char> bytes;
    if (hex != nullptr) {
        const size_t length = strlen(hex);
        for (size_t i = 0; i + 1 < length; i += 2) {
            unsigned int byte = 0;
            if (isxdigit(static_cast<unsigned char>(hex[i])) == 0 ||
                isxdigit(static_cast<unsigned char>(hex[i + 1])) == 0 || sscanf(hex + i, "%2x", &byte) != 1)
                return fail("not hexadecimal", hex);
            bytes.push_back(static_cast<unsigned char>(byte));
        }
        if (length % 2 != 0 || bytes.empty())
            return fail("not hexadecimal", hex);
        return confdb_write_record(ZQDB_PATH, kind, id, bytes.data(), bytes.size()) == 0
                   ? kExitOk
                   : fail("cannot store the record", "");
    }
    struct Found {
        int kind, id;
        std::vector<unsigned char> data;
        bool found;
    } found{kind, id, {}, false};
    const auto visit = [](int k, int i, const void *data, size_t size, void *context) {
        auto *want = static_cast<Found *>(context);
        if (k != want->kind || i != want->id)
            return 0;
        const auto *first = static_cast<const unsigned char *>(data);
        want->data.assign(first, first + size);
        want->found = true;
        return 1;
    };
    if (confdb_for_each_record(ZQDB_PATH, visit, &found) != 0)
        return fail("cannot read the records", "");
    if (!found.found)
        return kExitFailed;
    for (const unsigned char byte : found.data)
        printf("%02x", byte);
    printf("\n");
    return kExitOk;
}

int cmd_export(const char *dir_arg)
{
    const std::string dir = real_path(dir_arg);
    char resolved[PATH_MAX];
    if (realpath(dir.c_str(), resolved) == nullptr)
        return fail("no such folder", dir.c_str());
    char name[64];
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    strftime(name, sizeof name, "config_%Y%m%d_%H%M%S.bin", &local);
    const std::string file = std::string(resolved) + "/" + name;
    if (confdb_export(ZQDB_PATH, file.c_str()) != 0)
        return fail("cannot export to", file.c_str());

    const NvrPath index(kExportIndexPath);
    make_parent_dirs(index.c_str());
    if (!write_file_atomically(index.c_str(), device_path(file))) {
        unlink(file.c_str());
        return fail("cannot write", index.c_str());
    }
    printf("%s\n", file.c_str());
    return kExitOk;
}

int cmd_import(const char *file_arg)
{
    const std::string file = real_path(file_arg);
    return confdb_import(ZQDB_PATH, file.c_str()) == 0 ? kExitOk : fail("cannot import", file.c_str());
}

int usage(FILE *to, int status)
{
    fputs(kUsage, to);
    return status;
}

int profile_main(int argc, char **argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0))
        return usage(stdout, kExitOk);
    if (argc == 3 && strcmp(argv[1], "-e") == 0)
        return cmd_export(argv[2]);
    if (argc == 3 && strcmp(argv[1], "-i") == 0)
        return cmd_import(argv[2]);
    return usage(stderr, kExitUsage);
}

int nvrconf_main(int argc, char **argv)
{
    if (argc < 2)
        return usage(stderr, kExitUsage);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help")
        return usage(stdout, kExitOk);
    if (command == "init" && argc == 2)
        return cmd_init(false);
    if (command == "init" && argc == 3 && strcmp(argv[2], "--demo") == 0)
        return cmd_init(true);
    if (command == "get" && argc == 3)
        return cmd_get(argv[2]);
    if (command == "set" && argc == 4)
        return cmd_set(argv[2], argv[3]);
    if (command == "passwd" && argc == 4)
        return cmd_passwd(argv[2], argv[3]);
    if (command == "rights" && (argc == 4 || argc == 6))
        return cmd_rights(argv[2], argv[3], argc == 6 ? argv[4] : nullptr, argc == 6 ? argv[5] : nullptr);
    if (command == "dump" && argc == 2)
        return cmd_dump();
    if (command == "record" && (argc == 4 || argc == 5))
        return cmd_record(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (command == "export" && argc == 3)
        return cmd_export(argv[2]);
    if (command == "import" && argc == 3)
        return cmd_import(argv[2]);
    return usage(stderr, kExitUsage);
}

} // namespace

int main(int argc, char **argv)
{
    const char *invoked = argc > 0 ? argv[0] : "";
    const char *slash = strrchr(invoked, '/');
    const char *name = slash != nullptr ? slash + 1 : invoked;
    const int status =
        strcmp(name, kProfileToolName) == 0 ? profile_main(argc, argv) : nvrconf_main(argc, argv);
    confdb_close();
    return status;
}
