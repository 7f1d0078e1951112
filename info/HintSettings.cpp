#include "info/HintSettings.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace taskwick {

namespace {

HintDurationFilter* installedFilter() {
    return qApp ? qApp->findChild<HintDurationFilter*>(QString(), Qt::FindDirectChildrenOnly)
                : nullptr;
}

}  // namespace

HintDelayStyle::HintDelayStyle(QStyle* base, int wakeUpDelayMs)
    : QProxyStyle(base), wakeUpDelayMs_(wakeUpDelayMs) {}

int HintDelayStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay) {
        return wakeUpDelayMs_;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

HintDurationFilter::HintDurationFilter(int displayTimeMs, QObject* parent)
    : QObject(parent), displayTimeMs_(displayTimeMs) {}

bool HintDurationFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->toolTip().isEmpty()) {
        // The widget's own handling (item hints of a view, say) or its parent's.
        return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), displayTimeMs_);
    return true;
}

bool programHintSettingsApplied() {
    return installedFilter() != nullptr;
}

void applyProgramHintSettings(HintTimes times) {
    if (!qApp || programHintSettingsApplied()) {
        return;
    }
    // The proxy takes the current style over as its base, so the look stays as it was. The
    // style first: a new style may bring its own palettes.
    QApplication::setStyle(new HintDelayStyle(QApplication::style(), times.wakeUpDelayMs));

    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::All, QPalette::ToolTipBase, Qt::white);
    QToolTip::setPalette(palette);

    qApp->installEventFilter(new HintDurationFilter(times.displayTimeMs, qApp));
}

}  // namespace taskwick
