#pragma once

#include "multiviewer/core/multiviewer_observer.h"
#include "multiviewer/core/multiviewer_session.h"

#include <QObject>

#include <optional>
#include <string>

namespace brenvik {

// The multiviewer session's changes as Qt signals, for the widgets that show them: the preview,
// the setting page shown and the main window's name field. Registered with the session for its
// lifetime. The session tells it on the UI thread, so each signal reaches its slots there at once.
class MultiviewerSignals : public QObject, private MultiviewerObserver {
    Q_OBJECT

public:
    explicit MultiviewerSignals(MultiviewerSession& session, QObject* parent = nullptr);
    ~MultiviewerSignals() override;
    MultiviewerSignals(const MultiviewerSignals&) = delete;
    MultiviewerSignals& operator=(const MultiviewerSignals&) = delete;

signals:
    void fieldChanged(const brenvik::MultiviewerChange& change);
    void replaced(brenvik::RereadCause cause);
    void nameShown(const std::optional<std::u16string>& name);
    void lockShown(bool locked);

private:
    void FieldChanged(const MultiviewerChange& change) override { emit fieldChanged(change); }
    void Replaced(RereadCause cause) override { emit replaced(cause); }
    void NameShown(const std::optional<std::u16string>& name) override { emit nameShown(name); }
    void LockShown(bool locked) override { emit lockShown(locked); }

    MultiviewerSession& m_session;
};

} // namespace brenvik
