// Video: the video loss pages, the alarm-input schedule setters and the
// exception settings.
#pragma once

#include <cstdint>

#include "codecs/event_actions.h"
#include "modules/video/videoloss_records.h"

constexpr int kPtzTypeVideoLoss = 2;
constexpr EventActionTables kVideoLossActionTables = {
    "video_loss_white_led_params", "videoloss_whiteled_esche", "videoloss_http_notification_sche",
    "videoloss_http_notification_params", kPtzTypeVideoLoss};

// Video loss of one channel.
int on_get_videolost_info(char *text);
int on_set_videolost_info(char *text);
int on_set_videolost_schedule(char *text);
int on_get_videoloss_info(char *text);
int on_set_videoloss_info(char *text);
int on_set_videolost_others(char *text);

// Schedules and actions of several video loss channels or alarm inputs.
int on_set_videolost_audible_sche(char *text);
int on_set_videolost_email_sche(char *text);
int on_set_videoloss_ptz_sche(char *text);
int on_set_alarmin_audible_sche(char *text);
int on_set_alarmin_email_sche(char *text);
int on_set_alarmin_ptz_sche(char *text);
int on_set_alarmin_effective_sche(char *text);
int on_set_alarm_others(char *text);

// Exceptions.
int on_get_exception(char *text);
int on_set_exception(char *text);

// A 64-bit channel or input mask to the core daemon, low word first.
void video_notify_mask(int code, uint64_t mask);
