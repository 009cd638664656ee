#include "demo_events.h"

#include "nvrconf.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "codecs/schedule.h"
#include "modules/system/user_record.h"
#include "modules/video/video_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoMotionChannels = 4;

// "1" at each listed channel, "0" elsewhere.
void channel_text(char (&text)[kChannelTextSize], std::initializer_list<int> channels)
{
    std::fill_n(text, kVideoChannels, '0');
    text[kVideoChannels] = '\0';
    for (int channel : channels)
        text[channel] = '1';
}

motion_record demo_motion(int chnid)
{
    motion_record motion{};
    motion.chnid = chnid;
    motion.enable = chnid < 3 ? 1 : 0; // the fourth camera is a quiet corner
    motion.sensitivity = 6 - chnid;
    // The whole picture but its top band (the time stamp) detects motion.
    std::fill_n(motion.motion_table, 88, 'f');
    std::fill_n(motion.motion_table, 8, '0');
    motion.interval = 10;
    motion.enable_ms = 1;
    channel_text(motion.tri_channels, {chnid, (chnid + 1) % kDemoMotionChannels});
    motion.tri_channel_mask = (1 << chnid) | (1 << ((chnid + 1) % kDemoMotionChannels));
    motion.tri_alarms = chnid == 0 ? 1 : 0;
    motion.email_enable = chnid == 0 ? 1 : 0;
    motion.email_interval = 60;
    motion.email_pic_enable = motion.email_enable;
    channel_text(motion.tri_channels_pic, {chnid});
    std::fill_n(motion.chn_alarmout0, 64, '0');
    std::fill_n(motion.chn_alarmout1, 64, '0');
    motion.chn_alarmout0[0] = chnid == 0 ? '1' : '0';
    motion.ptz_interval = 10;
    motion.alarmout_interval = 10;
    motion.white_interval = 10;
    motion.http_notification_interval = 10;
    return motion;
}

void set_section(schedule_day &day, int section, const char *start, const char *end, int action)
{
    snprintf(day.sections[section].start_time, kScheduleTimeSize, "%s", start);
    snprintf(day.sections[section].end_time, kScheduleTimeSize, "%s", end);
    day.sections[section].action_type = action;
}

// Days 0 and 6 are the weekend, day 7 the holidays.
bool is_weekday(int day) { return day >= 1 && day <= 5; }

// Motion counts around the clock at the weekend and out of office hours on
// weekdays; e-mails go out only at night.
void demo_schedules(schedule_record *effective, schedule_record *email)
{
    for (int day = 0; day < kScheduleDays; ++day) {
        if (is_weekday(day)) {
            set_section(effective->days[day], 0, "00:00", "08:00", 1);
            set_section(effective->days[day], 1, "18:00", "24:00", 1);
        } else {
            set_section(effective->days[day], 0, "00:00", "24:00", 1);
        }
        set_section(email->days[day], 0, "00:00", "06:00", 1);
        set_section(email->days[day], 1, "22:00", "24:00", 1);
    }
}

bool md5_hex(const char *text, char (&out)[36])
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text, strlen(text), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        return false;
    for (unsigned int i = 0; i < length; ++i)
        snprintf(out + 2 * i, 3, "%02x", digest[i]);
    return true;
}

// The account `name` at `id`, made from the factory account's record (every
// right, every channel) less what `remote_rights` and the channel lists take.
int store_account(const UserRecord &factory, int id, const char *name, int type, const char *password,
                  const char (&remote_rights)[kUserRights + 1], std::initializer_list<int> liveview,
                  std::initializer_list<int> playback)
{
    UserRecord user = factory;
    user.id = id;
    user.type = type;
    snprintf(user.name, sizeof user.name, "%s", name);
    if (!md5_hex(password, user.password))
        return -1;
    for (int i = 0; i < kUserRights; ++i)
        user.remote_rights[i] = user.local_rights[i] = remote_rights[i] == '1' ? 1 : 0;
    if (liveview.size() != 0 || playback.size() != 0) {
        channel_text(user.remote_liveview, liveview);
        channel_text(user.remote_playback, playback);
        memcpy(user.local_liveview, user.remote_liveview, sizeof user.local_liveview);
        memcpy(user.local_playback, user.remote_playback, sizeof user.local_playback);
        user.local_liveview_bits = user.remote_liveview_bits = 0;
        user.local_playback_bits = user.remote_playback_bits = 0;
        for (int channel : liveview)
            user.local_liveview_bits = user.remote_liveview_bits |= 1u << channel;
        for (int channel : playback)
            user.local_playback_bits = user.remote_playback_bits |= 1u << channel;
    }
    return store_if_absent(kRecUser, id, &user, sizeof user);
}

} // namespace

int add_demo_motion()
{
    auto effective = std::make_unique<schedule_record>();
    auto email = std::make_unique<schedule_record>();
    demo_schedules(effective.get(), email.get());
    for (int chnid = 0; chnid < kDemoMotionChannels; ++chnid) {
        const motion_record motion = demo_motion(chnid);
        if (store_if_absent(kRecMotion, chnid, &motion, sizeof motion) != 0 ||
            store_if_absent(kRecMotionEffectiveSchedule, chnid, effective.get(), sizeof *effective) != 0 ||
            store_if_absent(kRecMotionEmailSchedule, chnid, email.get(), sizeof *email) != 0)
            return -1;
    }
    return 0;
}

int add_demo_accounts(const char *password)
{
    UserRecord factory{};
    if (confdb_read_record(ZQDB_PATH, kRecUser, 0, &factory, sizeof factory) != kRecFound)
        return -1;
    if (store_account(factory, 1, "operator", 1, password, "1111111010", {}, {}) != 0)
        return -1;
    return store_account(factory, 2, "guest", 2, password, "1100000000", {0, 1}, {0});
}
