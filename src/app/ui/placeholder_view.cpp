#include "app/ui/placeholder_view.h"

#include "app/ui/app_style.h"
#include "brand/brand.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PlaceholderView::PlaceholderView(const QString& title, std::function<void()> close, QWidget* parent)
    : QWidget(parent)
    , m_title(title)
{
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    auto* header = new QLabel(title, this);
    header->setFont(AppStyle::displayFont(22));
    layout->addWidget(header);
    layout->addStretch(1);
    if (close) {
        auto* button = new QPushButton(QStringLiteral("Close"), this);
        connect(button, &QPushButton::clicked, this, [close = std::move(close)] { close(); });
        layout->addWidget(button, 0, Qt::AlignRight);
    }
}
