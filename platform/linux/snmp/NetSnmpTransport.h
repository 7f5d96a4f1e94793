#pragma once

#include <memory>
#include <string>

#include "platform/linux/snmp/SnmpTransport.h"

namespace quorvel::snmp {

// The transport over net-snmp's single-session API, configured by net-snmp's own files
// (snmp.conf: version, community, SNMPv3 user and passphrases, timeout, retries). With
// nothing configured it asks with SNMPv2c, community "public". `peer` is net-snmp's
// address form, such as "udp:router:161".
std::unique_ptr<SnmpTransport> makeNetSnmpTransport(const std::string& peer);

}  // namespace quorvel::snmp
