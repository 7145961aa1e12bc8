#pragma once
// The system's socket declarations, as Windows Sockets 2 has them.
#include <winsock2.h>
#include <ws2tcpip.h>
