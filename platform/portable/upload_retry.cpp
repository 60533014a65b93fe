#include "platform/portable/upload_retry.h"

#include <algorithm>
#include <array>

namespace kdesk {
namespace {

constexpr std::array<std::uint32_t, 7> kPassingStatuses = {
    408,  // the server tired of waiting for the request
    429,  // too many uploads for now
    500, 502, 503, 504,
    507,  // the server's disk is full
};

// WinHTTP's numbers, and the socket's where Wine reports those instead.
constexpr std::array<std::uint32_t, 19> kPassingErrors = {
    32, 33,  // the message file held by another program for now (a virus scanner)
    12002,  // timeout, or nothing moved for a minute
    12007,  // the server's or the proxy's name not resolved
    12029,  // the server or the proxy refused or did not take the connection
    12030,  // the connection dropped
    12152,  // an answer cut off
    12167,  // the proxy's configuration script not reached
    12180,  // the proxy's automatic detection found no network
    10050, 10051,  // the network down or unreachable
    10053, 10054,  // the connection aborted or reset
    10060,  // timeout
    10061,  // refused
    10064, 10065,  // the host down or unreachable
    11001, 11002,  // the name not found, for now
};

template <std::size_t N>
bool Contains(const std::array<std::uint32_t, N>& table, std::uint32_t number) {
    return std::ranges::find(table, number) != table.end();
}

}  // namespace

bool FailureCanPass(std::uint32_t number) {
    return Contains(kPassingStatuses, number) || Contains(kPassingErrors, number);
}

}  // namespace kdesk
