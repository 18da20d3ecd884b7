#pragma once

// One setting page against a simulated multiviewer on loopback: the page gets the record, the
// senders and the lock as the console page hands them over; its commands go through the real link
// to the unit, which applies them and reports back to a real status receiver, whose reports reach
// the page as the console page passes them on.

#include "link/console_link.h"
#include "link/frame.h"
#include "multiviewer/core/multiviewer_commands.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "multiviewer/core/status_report_applier.h"
#include "multiviewer/core/unit_state_reader.h"
#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/qt_wait.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

namespace brenvik::test {

using namespace std::chrono_literals;

inline constexpr std::uint8_t kUnitAddress = 0x01;
inline constexpr std::array<std::uint8_t, 4> kUnitId{0xC0, 0xFF, 0xEE, 0x07};
// A frame the unit ignores; its arrival says that everything sent before it has arrived too.
inline constexpr std::uint8_t kMarkerOpcode = 0x7F;

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

using test::WaitUntil;

// The operator picks entry `entry` of a list: the list changes and says it was activated.
inline void Choose(QComboBox* list, int entry) {
    list->setCurrentIndex(entry);
    emit list->activated(entry);
}

inline int ShownPicture(const QWidget* button) {
    return button->property(kShownPictureProperty).toInt();
}

struct PageHarnessOptions {
    ScreenScale scale{};
    std::chrono::milliseconds settleAfterReread{10};
};

class PageHarness : public ConsoleView {
public:
    using Options = PageHarnessOptions;

    PageHarness(std::uint8_t pageType, sim::MultiviewerSettings settings, Options options = {})
        : m_link(m_endpoints, m_messages), m_commands(m_link, m_devices, m_state, m_locked, *this),
          m_applier(m_state, *this, m_hooks, m_locked),
          m_ui(&m_anchor), m_context{m_state, m_commands, m_locked,  options.scale,
                                     *this,   m_link,     m_devices, m_hooks} {
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        auto model = std::make_unique<sim::MultiviewerModel>(std::move(settings));
        m_model = model.get();
        m_simulator->AddUnit({{127, 0, 0, 41}, kTypeMultiviewer, kUnitAddress, {'M', 'V'}, kUnitId},
                             std::move(model));
        EXPECT_TRUE(m_simulator->Start()) << m_simulator->StartError();

        DeviceEntry entry;
        entry.SetIp("127.0.0.41");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = kUnitAddress;
        entry.unitId = kUnitId;
        m_devices.At(0) = entry;
        m_devices.SetSelectedIndex(0);

        // The record as the console page has it once the unit's state is read.
        const auto read = Await<StateRead>([this](std::function<void(StateRead)> done) {
            QueryUnitState(m_link, m_devices.Selected(), {}, std::move(done));
        });
        EXPECT_TRUE(read && read->outcome == StateRead::Outcome::Answered);
        if (read) {
            ApplyStateRead(*read, m_state, m_locked, m_hooks);
        }
        m_seen = m_simulator->Unit(0).ReceivedCount();

        StatusReceiverThread::Timing timing;
        timing.afterReread = options.settleAfterReread;
        m_receiver = StatusReceiverThread::Start(m_link, m_devices.Selected(), m_ui, m_applier, timing);
        EXPECT_NE(m_receiver, nullptr);

        m_state.pageType = pageType;
        SettingPageFactory factory;
        RegisterSettingPages(factory);
        m_page.reset(factory.Create(pageType, nullptr, m_context));
        EXPECT_NE(m_page, nullptr);
    }

    ~PageHarness() override {
        m_receiver.reset();
        m_page.reset();
    }

    SettingPage& Page() { return *m_page; }
    template <typename Control> Control* Get(int id) const {
        return m_page->findChild<Control*>(QString::number(id));
    }
    MultiviewerState& State() { return m_state; }
    void Lock(bool locked) { m_locked = locked; }
    int Redraws() const { return m_redraws; }
    int UpdatesApplied() const { return m_updatesApplied; }

    // Shows the page as an active window of its own, for focus and keys.
    void ShowActive() {
        m_page->show();
        m_page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_page.get()));
    }

    // Every frame the unit received since the last call, in order, queries for its state included.
    std::vector<Frame> TakeSent() {
        auto& unit = m_simulator->Unit(0);
        m_link.Send(m_devices.Selected(), ExpectedFrame(kMarkerOpcode, {}));
        std::vector<Frame> sent;
        const bool marked = WaitUntil([&] {
            const std::vector<Frame> received = unit.Received();
            for (std::size_t i = m_seen; i < received.size(); ++i) {
                if (received[i].size() > frame_offset::kOpcode &&
                    received[i][frame_offset::kOpcode] == kMarkerOpcode) {
                    sent.assign(received.begin() + static_cast<std::ptrdiff_t>(m_seen),
                                received.begin() + static_cast<std::ptrdiff_t>(i));
                    m_seen = i + 1;
                    return true;
                }
            }
            return false;
        });
        EXPECT_TRUE(marked) << "the marker frame never reached the unit";
        return sent;
    }

    // The unit sends a report of its own, as after a change made at its front panel.
    void UnitReports(std::uint8_t opcode, std::vector<std::uint8_t> values) {
        m_simulator->Invoke(
            [this, opcode, values] { m_model->SendReport(m_simulator->Unit(0), opcode, values); });
    }
    // The unit's settings are replaced (front panel, another console) and it says so.
    void UnitReplacesSettings(const sim::MultiviewerSettings& settings) {
        m_simulator->Invoke([this, settings] { m_model->ReplaceSettings(m_simulator->Unit(0), settings); });
    }
    // Waits until the page has taken `count` more updates from the unit's reports than before.
    bool WaitForUpdates(int before, int count = 1) {
        return WaitUntil([&] { return m_updatesApplied >= before + count; });
    }

    // ConsoleView, as the console page: updates reach the page shown and no other.
    void RedrawPreview() override { ++m_redraws; }
    void UpdatePage(const PageUpdate& update) override {
        if (m_page != nullptr && update.pageType == m_state.pageType) {
            m_page->ApplyUpdate(update);
            ++m_updatesApplied;
        }
    }

private:
    class Dispatcher : public UiDispatcher {
    public:
        explicit Dispatcher(QObject* anchor) : m_anchor(anchor) {}
        void Post(std::function<void()> task) override {
            QMetaObject::invokeMethod(m_anchor, std::move(task), Qt::QueuedConnection);
        }

    private:
        QObject* m_anchor;
    };

    Endpoints m_endpoints = LoopbackEndpoints();
    RecordingMessages m_messages;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    sim::MultiviewerModel* m_model = nullptr; // owned by the simulator
    ConsoleLink m_link;
    DeviceTable m_devices;
    MultiviewerState m_state = MultiviewerState::Defaults();
    bool m_locked = false;
    RecordingMainWindow m_hooks;
    MultiviewerCommands m_commands;
    StatusReportApplier m_applier;
    QObject m_anchor;
    Dispatcher m_ui;
    SettingPageContext m_context;
    std::size_t m_seen = 0;
    int m_redraws = 0;
    int m_updatesApplied = 0;
    std::unique_ptr<SettingPage> m_page;
    std::unique_ptr<StatusReceiverThread> m_receiver;
};

} // namespace brenvik::test
