#pragma once

#include <enet/enet.h>

// Looks at every datagram an ENet host receives before ENet takes it: the datagram is in
// host.receivedData (receivedDataLength bytes, from receivedAddress), and may be changed in
// place. A host has one gate (NetHost::guard), which must outlive it.
class DatagramGate {
public:
    virtual ~DatagramGate() = default;
    // Whether ENet may take the datagram; false drops it unseen.
    virtual bool admit(ENetHost& host) = 0;
};
