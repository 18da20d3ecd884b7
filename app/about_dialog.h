#pragma once

#include <QDialog>

namespace brenvik {

// The About box: the application icon, the product line and an OK button.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent);
};

} // namespace brenvik
