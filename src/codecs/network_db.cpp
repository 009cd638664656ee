#include "codecs/network_db.h"

#include "platform/confdb/confdb.h"

namespace {

constexpr int kNetworkId = 0;
constexpr const char *kMacKey = "mac_addr";

void copy_bond_part(network_record *to, const network_record &from)
{
    to->mode = from.mode;
    to->primary_net = from.primary_net;
    to->bond0 = from.bond0;
    to->bond0_ip6 = from.bond0_ip6;
    to->bond0_ip6_type = from.bond0_ip6_type;
}

void copy_muti_part(network_record *to, const network_record &from)
{
    to->mode = from.mode;
    to->eth0 = from.eth0;
    to->eth1 = from.eth1;
    to->eth0_ip6 = from.eth0_ip6;
    to->eth1_ip6 = from.eth1_ip6;
    to->eth0_ip6_type = from.eth0_ip6_type;
    to->eth1_ip6_type = from.eth1_ip6_type;
    to->default_route = from.default_route;
}

int write_network_part(const char *db, const network_record *record,
                       void (*copy_part)(network_record *, const network_record &))
{
    network_record stored;
    if (record == nullptr || read_network(db, &stored) < 0)
        return -1;
    copy_part(&stored, *record);
    return write_network(db, &stored);
}

} // namespace

int read_network(const char *db, network_record *record)
{
    return confdb_read_record(db, kRecNetwork, kNetworkId, record, sizeof *record);
}

int write_network(const char *db, const network_record *record)
{
    return confdb_write_record(db, kRecNetwork, kNetworkId, record, sizeof *record);
}

int read_network_mode(const char *db)
{
    network_record record;
    return read_network(db, &record) == kRecFound ? record.mode : -1;
}

int write_network_bond(const char *db, const network_record *record)
{
    return write_network_part(db, record, copy_bond_part);
}

int write_network_muti(const char *db, const network_record *record)
{
    return write_network_part(db, record, copy_muti_part);
}

int read_mac_conf(const char *db, char *buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return -1;
    return get_param_value(db, kMacKey, buffer, size, "");
}
