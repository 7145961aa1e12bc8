#pragma once
// The system's socket declarations, as Linux has them.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
