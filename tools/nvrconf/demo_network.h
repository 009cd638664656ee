// Demo settings of the network pages for `nvrconf init --demo`.
#pragma once

// Stores the demo network and multicast settings where none are stored
// yet; 0, or -1 when the database cannot be written.
int add_demo_network();

// Stores the demo settings of the network services (time, PPPoE, DDNS,
// e-mail, SNMP, P2P, push messages) where none are stored yet; 0 or -1.
int add_demo_netsvc();
