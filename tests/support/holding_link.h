#pragma once

#include "link/unit_link.h"

#include <optional>
#include <stop_token>
#include <vector>

namespace brenvik::test {

// A link that keeps what is queued on it: sends in order, and every exchange with the cancel it was
// queued with, whose collectors and completion the test then calls itself as the link thread
// would. `exchange` is the last one queued.
class HoldingLink : public UnitLink {
public:
    LinkMode Mode() const override { return mode; }
    bool Send(const std::optional<DeviceEntry>&, Frame bytes) override {
        if (refuseSends) {
            return false;
        }
        sent.push_back(std::move(bytes));
        return true;
    }
    void StartExchange(const std::optional<DeviceEntry>&, Exchange started, std::stop_token cancel) override {
        exchanges.push_back(started);
        cancels.push_back(std::move(cancel));
        exchange = std::move(started);
    }
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>&) override {
        return std::nullopt;
    }

    LinkMode mode = LinkMode::Lan;
    bool refuseSends = false;
    std::vector<Frame> sent;
    std::optional<Exchange> exchange;
    std::vector<Exchange> exchanges;
    std::vector<std::stop_token> cancels;
};

} // namespace brenvik::test
