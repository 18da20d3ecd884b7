#pragma once

// One setting page as the console page shows it: on the session of a multiviewer, with the
// session's changes as signals and the console's lock. The unit is simulated settings behind a link
// that keeps every frame the console sends: a state read is answered with the block the simulator
// encodes from them, and the unit's reports are frames the simulator builds, applied to the session
// as the status receiver hands them over. The simulator's encoding is written apart from the
// console's, so what the page shows is checked against an independent reading of the wire.

#include "controls/qt_ui_dispatcher.h"
#include "link/device_table.h"
#include "link/frame.h"
#include "link/unit_link.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/ui/pages/multiviewer_signals.h"
#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_config.h"
#include "sim/unit_frame.h"

#include <QComboBox>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <utility>
#include <vector>

namespace brenvik::test {

using namespace std::chrono_literals;

inline constexpr std::uint8_t kUnitAddress = 0x01;
inline constexpr std::array<std::uint8_t, 4> kUnitId{0xC0, 0xFF, 0xEE, 0x07};
inline const sim::UnitConfig kHarnessUnit{
    {127, 0, 0, 41}, kTypeMultiviewer, kUnitAddress, {'M', 'V'}, kUnitId};
inline constexpr std::uint8_t kOpcodeQueryState = 0x0A;
inline constexpr std::uint8_t kOpcodeSettingsReplaced = 0x38;

// A console frame to the unit as it must look on the wire, built here independently of the console:
// sync, length, type, unit address, link byte 1 (LAN), nine zeros, opcode, values, sum, terminator.
inline Frame ExpectedFrame(std::uint8_t opcode, std::vector<std::uint8_t> values) {
    Frame frame{0xA5, 0x6C, 0, 0, kTypeMultiviewer, kUnitAddress, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, opcode};
    for (const std::uint8_t value : values) {
        frame.push_back(value);
    }
    const std::size_t length = frame.size() + 3;
    frame[2] = static_cast<std::uint8_t>(length & 0xFF);
    frame[3] = static_cast<std::uint8_t>(length >> 8);
    unsigned sum = 0;
    for (const std::uint8_t byte : frame) {
        sum += byte;
    }
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    frame.push_back(static_cast<std::uint8_t>((sum >> 8) & 0xFF));
    frame.push_back(0xAE);
    return frame;
}

inline const Frame kStateQuery = ExpectedFrame(kOpcodeQueryState, {});

// The operator picks entry `entry` of a list: the list changes and says it was activated.
inline void Choose(QComboBox* list, int entry) {
    list->setCurrentIndex(entry);
    emit list->activated(entry);
}

// A LAN link that keeps every frame queued on it, state queries included, in order. A state query is
// answered with the state block of `unit` one turn of the event loop later, as the link thread hands
// its completions on; a query cancelled before that ends as cancelled.
class RecordingLink : public UnitLink {
public:
    LinkMode Mode() const override { return LinkMode::Lan; }

    bool Send(const std::optional<DeviceEntry>& to, Frame bytes) override {
        if (!to) {
            return false;
        }
        sent.push_back(std::move(bytes));
        return true;
    }

    void StartExchange(const std::optional<DeviceEntry>& to, Exchange exchange,
                       std::stop_token cancel) override {
        if (!to) {
            exchange.done(ExchangeOutcome::NotAddressed);
            return;
        }
        sent.push_back(exchange.request);
        QMetaObject::invokeMethod(
            &m_thread,
            [this, exchange = std::move(exchange), cancel = std::move(cancel)] {
                if (cancel.stop_requested()) {
                    exchange.done(ExchangeOutcome::Cancelled);
                    return;
                }
                const Frame answer =
                    sim::BuildUnitFrame(kHarnessUnit, 0x01, kOpcodeQueryState, sim::EncodeStateBlock(unit));
                const bool taken = exchange.takeDatagram(answer, Ipv4Address{kHarnessUnit.address, 7000});
                exchange.done(taken ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
            },
            Qt::QueuedConnection);
    }

    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>&) override {
        return std::nullopt;
    }

    sim::MultiviewerSettings unit = sim::MultiviewerSettings::Factory();
    std::vector<Frame> sent;

private:
    // Stands for the link thread: answers still queued when the link goes are dropped with it.
    QObject m_thread;
};

struct PageHarnessOptions {
    ScreenScale scale{};
    // How long the unit takes to replace its settings: a load waits this long before the state is
    // read, and the reports that follow a replacement the unit announced are held as long.
    std::chrono::milliseconds unitSettles{0};
};

class PageHarness {
public:
    using Options = PageHarnessOptions;

    PageHarness(std::uint8_t pageType, sim::MultiviewerSettings settings, Options options = {})
        : m_session(m_link, m_devices, m_locked, m_ui,
                    MultiviewerSession::Timing{kStateReadWait, options.unitSettles}),
          m_context{m_session, m_changes, m_locked, options.scale} {
        m_link.unit = std::move(settings);
        DeviceEntry entry;
        entry.SetIp("127.0.0.41");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = kUnitAddress;
        entry.unitId = kUnitId;
        m_devices.At(0) = entry;
        m_devices.SetSelectedIndex(0);
        QObject::connect(&m_changes, &MultiviewerSignals::fieldChanged, &m_changes,
                         [this](const MultiviewerChange& change) { m_told.push_back(change); });
        QObject::connect(&m_changes, &MultiviewerSignals::replaced, &m_changes, [this] { ++m_replacements; });
        RegisterSettingPages(m_factory);

        // The record as the console page has it once the unit's state is read at opening.
        std::optional<RereadResult> read;
        m_session.Reread(RereadCause::Opening, {}, [&read](RereadResult result) { read = result; });
        EXPECT_TRUE(QTest::qWaitFor([&read] { return read.has_value(); }));
        EXPECT_EQ(read, RereadResult::Answered);
        m_link.sent.clear();
        m_told.clear();
        m_replacements = 0;
        ShowPage(pageType);
    }

    SettingPage& Page() { return *m_page; }
    template <typename Control> Control* Get(int id) const {
        return m_page->findChild<Control*>(QString::number(id));
    }
    const MultiviewerState& State() const { return m_session.State(); }
    MultiviewerSession& Session() { return m_session; }
    void Lock(bool locked) { m_locked = locked; }

    // Shows the page of `pageType` in place of the one shown, as a page button does.
    void ShowPage(std::uint8_t pageType) {
        m_page.reset();
        m_page.reset(m_factory.Create(pageType, nullptr, m_context));
        ASSERT_NE(m_page, nullptr);
    }

    // Shows the page as an active window of its own, for focus and keys.
    void ShowActive() {
        m_page->show();
        m_page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    }

    // Every frame the console queued for the unit since the last call, in order, state queries
    // included. The link keeps a frame as it is queued, so nothing is on its way still.
    std::vector<Frame> TakeSent() { return std::exchange(m_link.sent, {}); }
    // Every field the session said had changed since the last call, in order.
    std::vector<MultiviewerChange> TakeChanges() { return std::exchange(m_told, {}); }
    // How often the session said the whole record was read again.
    int Replacements() const { return m_replacements; }

    // The unit's settings as the next state read will find them.
    sim::MultiviewerSettings& Unit() { return m_link.unit; }
    // A report of the unit, as the status receiver hands it to the session.
    void UnitReports(std::uint8_t opcode, const std::vector<std::uint8_t>& values) {
        m_session.ApplyReport(sim::BuildUnitFrame(kHarnessUnit, 0x01, opcode, values));
    }
    // The unit's settings are replaced (front panel, another console, a custom memory loaded) and it
    // says so with `report`; true once the session has read them and ended its re-read.
    bool UnitReplacesSettings(const sim::MultiviewerSettings& settings,
                              std::uint8_t report = kOpcodeSettingsReplaced) {
        m_link.unit = settings;
        const int before = m_replacements;
        UnitReports(report, {});
        return QTest::qWaitFor([&] { return m_replacements > before && !m_session.Rereading(); });
    }

private:
    RecordingLink m_link;
    DeviceTable m_devices;
    bool m_locked = false;
    // Tasks the session posts run from the event loop; those still pending go with the anchor.
    QObject m_anchor;
    QtUiDispatcher m_ui{&m_anchor};
    MultiviewerSession m_session;
    MultiviewerSignals m_changes{m_session};
    SettingPageContext m_context;
    SettingPageFactory m_factory;
    std::vector<MultiviewerChange> m_told;
    int m_replacements = 0;
    std::unique_ptr<SettingPage> m_page;
};

} // namespace brenvik::test
