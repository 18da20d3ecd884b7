#include "multiviewer/ui/pages/multiviewer_signals.h"

namespace brenvik {

MultiviewerSignals::MultiviewerSignals(MultiviewerSession& session, QObject* parent)
    : QObject(parent), m_session(session) {
    m_session.AddObserver(*this);
}

MultiviewerSignals::~MultiviewerSignals() {
    m_session.RemoveObserver(*this);
}

} // namespace brenvik
