#pragma once

#include <QObject>
#include <QProxyStyle>

namespace taskwick {

// The program-wide hint (tooltip) settings that the first display of the About dialog applies:
// a white background, shown 400 ms after the pointer comes to rest, and staying 25 seconds.
// Before that the platform's defaults apply.
inline constexpr int HintWakeUpDelayMs = 400;
inline constexpr int HintDisplayTimeMs = 25000;

// How long the pointer rests before a hint shows, and how long the hint stays.
struct HintTimes {
    int wakeUpDelayMs = HintWakeUpDelayMs;
    int displayTimeMs = HintDisplayTimeMs;
};

// Applies the settings; the second and later calls change nothing. Needs a QApplication.
void applyProgramHintSettings(HintTimes times = {});

// True once applyProgramHintSettings has run in this application.
bool programHintSettingsApplied();

// The application's style with the hint delay answered: everything else is the base style's.
class HintDelayStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Takes ownership of base.
    HintDelayStyle(QStyle* base, int wakeUpDelayMs);

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    int wakeUpDelayMs_;
};

// An application-wide event filter that shows the hint of any widget that has one for the
// display time given instead of the toolkit's default (10 seconds for a short text).
class HintDurationFilter : public QObject {
    Q_OBJECT
public:
    HintDurationFilter(int displayTimeMs, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int displayTimeMs_;
};

}  // namespace taskwick
