// Configuration database access: keyed parameters and whole records stored
// by (kind, id). Every call names the database by its device path (resolved
// through nvr_path); one connection per process serves all calls.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char *ZQDB_PATH = "/mnt/nand/app/zqdb.db";

// Keyed parameters. Reads give the caller's default for an absent key.
int get_param_int(const char *db, const char *key, int default_value);
int get_param_value(const char *db, const char *key, char *buffer, int size, const char *default_value);
// Writes change an existing key: 0 on success, -1 when the key is absent or
// the write failed.
int set_param_int(const char *db, const char *key, int value);
int set_param_value(const char *db, const char *key, const char *text);
// 0 when the key exists, non-zero when it does not (callers then add it).
int check_param_key(const char *db, const char *key);
// Creates the key (or replaces its value): 0 on success, -1 on failure.
int add_param_value(const char *db, const char *key, const char *text);

// Record kinds. Values are stored in the database: never renumber.
enum ConfRecordKind : int {
    kRecUser = 1,
    kRecCamera = 2,
    kRecMotion = 3,
    kRecDisk = 4,
    // Motion schedules, one record per channel.
    kRecMotionSchedule = 5,
    kRecMotionEffectiveSchedule = 6,
    kRecMotionAudibleSchedule = 7,
    kRecMotionEmailSchedule = 8,
    kRecMotionPtzSchedule = 9,
    // Event action tables: id = (table slot << 8) | owner, the table slots
    // being those of codecs/event_action_db.h.
    kRecWhiteLedSchedule = 10,
    kRecHttpSchedule = 11,
    kRecWhiteLedParams = 12,
    kRecHttpParams = 13,
    // PTZ action lists: id = (event type << 8) | owner.
    kRecPtzActions = 14,
    // The alarm sound file table, one record (id 0).
    kRecAlarmAudioFiles = 15,
    // Video-loss and alarm-input schedules: one record per channel or input.
    kRecVideolossAudibleSchedule = 16,
    kRecVideolossEmailSchedule = 17,
    kRecVideolossPtzSchedule = 18,
    kRecAlarminAudibleSchedule = 19,
    kRecAlarminEmailSchedule = 20,
    kRecAlarminEffectiveSchedule = 21,
    kRecAlarminPtzSchedule = 22,
    // Per-channel OSD setting and stored privacy masks (id = channel).
    kRecOsd = 23,
    kRecPrivacyMask = 24,
    // Camera protocols and camera models (id = the protocol's or model's id).
    kRecIpcProtocol = 25,
    kRecIpcModel = 26,
    // Holidays (id 0..31), and each channel's recording setting and record
    // schedule (id = channel).
    kRecHoliday = 120,
    kRecRecordSetting = 121,
    kRecRecordSchedule = 122,
    // Smart event effective schedules: id = (event index << 8) | channel.
    kRecSmartEventEffectiveSchedule = 140,
    // A camera's exposure list (id = channel).
    kRecIpcExposure = 141,
    // The network settings (interfaces, addressing, mode) and the multicast
    // setting: one record each (id 0).
    kRecNetwork = 180,
    kRecMulticast = 181,
    // Device settings kept as one record each (id 0): the service ports,
    // the display outputs and the retention times.
    kRecPort = 201,
    kRecDisplay = 202,
    kRecDiskMaintain = 203,
    // Alarm inputs and outputs. The recorder's own inputs (0..15) and
    // outputs (0..3) are stored by their id; a camera's alarm inputs and
    // outputs by (alarm index << 8) | channel.
    kRecAlarmIn = 100,
    kRecAlarmOut = 101,
    kRecAlarmChnInEvent = 102,
    kRecAlarmChnInName = 103,
    kRecAlarmChnOutName = 104,
    kRecAlarmInSchedule = 105, // the plain input schedule
    kRecAlarmOutSchedule = 106,
    kRecAlarmChnInEffectiveSchedule = 107,
    kRecAlarmChnInAudibleSchedule = 108,
    kRecAlarmChnInMailSchedule = 109,
    kRecAlarmChnInPtzSchedule = 110,
    kRecAlarmChnOutEffectiveSchedule = 111,
    // The disarming linkage, one record (id 0).
    kRecDisarming = 112,
    // Video loss of each channel (id = channel) with its plain schedule, and
    // the exception alarm switches (one record, id 0).
    kRecVideoLoss = 400,
    kRecVideoLossSchedule = 401,
    kRecTriggerAlarms = 402,
    // Network services, one record each (id 0): time and NTP, PPPoE, DDNS,
    // e-mail, SNMP, P2P; the push-message type of each channel (id =
    // channel) and the recorder's own push positions; the certificate
    // details (id 0 the installed certificate, id 2 the pending request).
    kRecTime = 340,
    kRecPppoe = 341,
    kRecDdns = 342,
    kRecEmail = 343,
    kRecSnmp = 344,
    kRecP2p = 345,
    kRecPushMsgEvent = 346,
    kRecPushMsgNvr = 347,
    kRecSslParams = 348,
    // PTZ: each channel's tour table, serial port setting and default
    // speeds (id = channel).
    kRecPtzTour = 300,
    kRecPtzPort = 301,
    kRecPtzSpeed = 302,
    // Disk groups (id = the group's position 0..15) and the eSATA disk's
    // automatic backup setting (one record, id 0).
    kRecDiskGroup = 420,
    kRecEsataBackup = 421,
    // Smart events, id = event index << 8 | channel.
    kRecSmartEvent = 260,
    kRecSmartEventAudibleSchedule = 261,
    kRecSmartEventMailSchedule = 262,
    kRecSmartEventPtzSchedule = 263,
    // Plate list mode events and their schedules, id = (mode + 1) << 8 |
    // channel (mode -1, the general mode, keeps only its effective schedule).
    kRecAnprEvent = 440,
    kRecAnprEffectiveSchedule = 441,
    kRecAnprAudibleSchedule = 442,
    kRecAnprMailSchedule = 443,
    kRecAnprPtzSchedule = 444,
    // People counting (id = group 0..8): the group settings, the group's
    // event record and its schedules (id = schedule kind << 8 | group);
    // POS (id = POS 0..7) likewise; the report backups (id = report 0..3);
    // face detection's event record and schedules (id = channel, and
    // schedule kind << 8 | channel).
    kRecPeopleCntGroup = 460,
    kRecPeopleCntEvent = 461,
    kRecPeopleCntSchedule = 462,
    kRecPos = 463,
    kRecPosEvent = 464,
    kRecPosSchedule = 465,
    kRecPeopleCntBackup = 466,
    kRecFaceEvent = 467,
    kRecFaceSchedule = 468,
    // System settings kept once (id 0): the IP access filter list, the
    // automatic reboot time and the UPnP port mapping.
    kRecAccessFilter = 320,
    kRecAutoReboot = 321,
    kRecUpnp = 322,
    // Snapshots, camera input and volume events, regional people counting
    // events (id = region << 8 | channel) and their schedules.
    kRecSnapshotSchedule = 450,
    kRecSnapshotParams = 451,
    kRecCameraIoEvent = 452,
    kRecVolumeDetect = 453,
    kRecRegionalPcntEvent = 454,
    kRecRegionalPcntAudibleSchedule = 455,
    kRecRegionalPcntMailSchedule = 456,
    kRecRegionalPcntPtzSchedule = 457,
};

// Result of a record read.
constexpr int kRecFound = 0;
constexpr int kRecAbsent = 1; // never written: the record reads as all zero

// Reads record (kind, id) into `record` (`size` bytes). A stored record
// shorter than `size` is zero-extended, a longer one cut. Returns kRecFound,
// kRecAbsent (record zeroed) or -1 on failure (record zeroed).
int confdb_read_record(const char *db, int kind, int id, void *record, size_t size);
// Stores the record whole; 0 on success, -1 on failure.
int confdb_write_record(const char *db, int kind, int id, const void *record, size_t size);
// Removes the record; 0 when it is gone (also when it never existed).
int confdb_delete_record(const char *db, int kind, int id);
// Reads up to `capacity` records of `kind` in id order into `array`
// (records of `record_size` bytes) and their ids into `ids` (may be null).
// Returns the number read, or -1 on failure.
int confdb_read_records(const char *db, int kind, void *array, size_t record_size, int capacity, int *ids);
// Copies record (kind, from_id) to every id n in 0..63 whose bit is set in
// `channel_mask` (n != from_id), in one transaction. 0, or -1 on failure
// (nothing changed) or when the source record is absent.
int confdb_copy_record(const char *db, int kind, int from_id, uint64_t channel_mask);

// Stores records of `record_size` bytes as ids 0..63 whose bit is set in
// `channel_mask`, in one transaction: the record of id n is at
// data + n * stride (a stride of 0 stores the same record under every id).
// 0, or -1 on failure (nothing changed).
int confdb_write_masked(const char *db, int kind, const void *data, size_t record_size, size_t stride,
                        uint64_t channel_mask);
// Sets the little-endian int32 at byte `offset` of record n to `value` for
// every id n in 0..63 whose bit is set in `channel_mask`, in one
// transaction. A record never stored starts as `record_size` zero bytes
// with n as the int32 at byte 0 (records whose first field is their id); a
// shorter stored record is zero-extended to `record_size`. 0, or -1 on
// failure or when the field does not fit the record (nothing changed).
int confdb_set_records_int(const char *db, int kind, size_t record_size, size_t offset, int32_t value,
                           uint64_t channel_mask);

// Creates the schema when missing (called by nvrconf init; the calls above
// also work on a fresh file). 0 or -1.
int confdb_init_schema(const char *db);
// Closes the process's connection (tests and tools; requests never need it).
void confdb_close();

// As confdb_copy_record, and each copy carries its own id: the little-endian
// int32 at byte `id_offset` of the stored record is set to the target id, so
// that a copy read back and written through its id field stays where it is.
// -1 (nothing changed) also when the record is too short for the field.
int confdb_copy_record_set_id(const char *db, int kind, int from_id, uint64_t channel_mask, size_t id_offset);

// Visit every key in key order, every record in (kind, id) order. A visitor
// that returns non-zero ends the walk early. Visitors must not call back into
// this library. 0, or -1 on failure.
using ConfParamVisitor = int (*)(const char *key, const char *value, void *context);
using ConfRecordVisitor = int (*)(int kind, int id, const void *data, size_t size, void *context);
int confdb_for_each_param(const char *db, ConfParamVisitor visit, void *context);
int confdb_for_each_record(const char *db, ConfRecordVisitor visit, void *context);

// Export and import of the whole configuration. `file` is a real path (not
// resolved). Export writes a consistent snapshot as a new file readable by
// its owner only (an existing file of that name is replaced). Import checks
// that `file` is such an export and then stores each of its keys and records
// over the current ones in one transaction; keys and records that the file
// lacks are kept. 0, or -1 with nothing changed.
int confdb_export(const char *db, const char *file);
int confdb_import(const char *db, const char *file);
