#pragma once

#include "link/unit_link.h"

#include <optional>
#include <vector>

namespace brenvik::test {

// A link that keeps what is queued on it: sends in order, and the last exchange, whose collectors
// and completion the test then calls itself as the link thread would.
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
    void StartExchange(const std::optional<DeviceEntry>&, Exchange started, std::stop_token) override {
        exchange = std::move(started);
    }
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>&) override {
        return std::nullopt;
    }

    LinkMode mode = LinkMode::Lan;
    bool refuseSends = false;
    std::vector<Frame> sent;
    std::optional<Exchange> exchange;
};

} // namespace brenvik::test
