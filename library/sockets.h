// The host's Berkeley sockets: creating, binding, connecting and closing sockets,
// sending and receiving, name resolution, address and byte-order conversion, the
// socket set, and a few constants and record sizes. Sockets travel as the numeral of
// their descriptor; address records, sets and buffers as the numeral of their address.
#pragma once

#include <netdb.h>

#include "library/adapt.h"

namespace library {

Num socketImpl(Int family, Int type, Int protocol);
Num bindImpl(Int socket, Int address, Int length);
Num listenImpl(Int socket, Int backlog);
Num acceptImpl(Int socket, Int address, Int lengthAddress);
Num connectImpl(Int socket, Int address, Int length);
Num shutdownImpl(Int socket, Int how);
Num closesocketImpl(Int socket);
Num setsockoptImpl(Int socket, Int level, Int option, Int value, Int length);
Num getpeernameImpl(Int socket, Int address, Int lengthAddress);
Num gethostnameImpl(Int buffer, Int length);

Num sendImpl(Int socket, Bytes data, Int length, Int flags);
Num sendtoImpl(Int socket, Bytes data, Int length, Int flags, Int address, Int addressLength);
Num recvImpl(Int socket, Int buffer, Int length, Int flags);
Num recvfromImpl(Int socket, Int buffer, Int length, Int flags, Int address, Int lengthAddress);

Num getaddrinfoImpl(Int node, Int service, Int hints, Int resultAddress);
Void freeaddrinfoImpl(Live<HandleKind::AddressRecord, addrinfo> record);
Num getnameinfoImpl(Int address, Int length, Int host, Int hostLength, Int service, Int serviceLength,
                    Int flags);
Num gai_strerrorImpl(Int code);
Num inet_ntopImpl(Int family, Int source, Int destination, Int size);
Num inet_ptonImpl(Int family, Int source, Int destination);

Num htonlImpl(Int value);
Num htonsImpl(Int value);
UNum ntohlImpl(Int value);
UNum ntohsImpl(Int value);

// Adds a socket to the socket set at an address (the layout is in sockets.cpp).
Void fd_setImpl(Int socket, Int set);

Num af_unspecImpl();
// The number 1: the code of both `ai_passive` and `sock_stream`.
Num ai_passiveImpl();
Num addrinfoImpl();

}  // namespace library
