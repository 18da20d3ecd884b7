#include "app/about_dialog.h"

#include "res/skin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brenvik {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("关于 VARNOLUX_16_VIEW"));
    setWindowIcon(Skin::WindowIcon());

    auto* icon = new QLabel(this);
    icon->setPixmap(Skin::WindowIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto* product = new QLabel(QStringLiteral("VARNOLUX_16_VIEW，1.0 版"), this);
    auto* detail = new QLabel(QStringLiteral("Brenvik Rackmount Control  Ver 1.0.3.4"), this);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(detail);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    top->addWidget(ok, 0, Qt::AlignTop);

    setLayout(top);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

} // namespace brenvik
