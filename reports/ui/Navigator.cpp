#include "reports/ui/Navigator.h"

#include <QHBoxLayout>
#include <QLabel>

#include <array>

Navigator::Navigator(const QString& titel, std::function<int()> aktuell,
                     std::function<int()> anzahl, std::function<void(int)> gehe, QWidget* eltern)
    : QWidget(eltern), aktuell_(std::move(aktuell)), anzahl_(std::move(anzahl)) {
    auto* zeile = new QHBoxLayout(this);
    zeile->setContentsMargins(0, 0, 0, 0);
    zeile->addWidget(new QLabel(titel, this));
    const std::array<std::pair<const char*, int>, 4> schritte = {
        {{"|<", -2}, {"<", -1}, {">", 1}, {">|", 2}}};
    for (const auto& [text, schritt] : schritte) {
        QPushButton* b = knopf(this, QString(), QString::fromLatin1(text));
        b->setMaximumWidth(40);
        const int s = schritt;
        connect(b, &QPushButton::clicked, this, [this, s, gehe] {
            gehe(s == -2 ? 0 : s == 2 ? anzahl_() - 1 : aktuell_() + s);
        });
        zeile->addWidget(b);
    }
    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("Position"));
    zeile->addWidget(position_);
}

void Navigator::zeigen() {
    const int n = anzahl_();
    position_->setText(n == 0 ? QStringLiteral("keine")
                              : QStringLiteral("%1 von %2").arg(aktuell_() + 1).arg(n));
}
