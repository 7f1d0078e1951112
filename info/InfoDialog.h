#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

class QLabel;

namespace taskwick {

class InfoLinkLabel;
class InfoPicture;

// The About window: three usage hints, a link to the program's page, the copyright notice and
// a promotion block for the sibling product with a link and a promo icon, filled for one
// language. It is modeless and fixed in size; Enter, Return and Escape close (hide) it.
// Dragging the background picture or any text that is not a link moves it.
class InfoDialog : public QDialog {
    Q_OBJECT
public:
    // German texts exactly when language is "Deutsch", English for any other string.
    explicit InfoDialog(const QString& language, QWidget* parent = nullptr);

    QString language() const { return language_; }

    // Puts the window's frame at the centre of the primary screen (see infoDialogTopLeft).
    void centreOnScreen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addText(const QString& name, const QString& text, int pixelSize, QPoint at);
    void addLinks(const QString& programPage, const QString& siblingPage);
    void addPromoIcon(const QString& hint);
    void showPromoHover();
    void showPromoPressed();
    void endHotTracking();
    void openSiblingPage();
    void beginMove(const QPoint& globalPos);

    QString language_;
    InfoPicture* background_ = nullptr;
    InfoLinkLabel* programLink_ = nullptr;
    InfoLinkLabel* siblingLink_ = nullptr;
    InfoPicture* promoIcon_ = nullptr;
    InfoPicture* promoIconHover_ = nullptr;
    InfoPicture* promoIconPressed_ = nullptr;

    // Moving the window by hand where the platform cannot move it for us.
    bool moving_ = false;
    QPoint moveStartGlobal_;
    QPoint moveStartFrame_;
};

}  // namespace taskwick
