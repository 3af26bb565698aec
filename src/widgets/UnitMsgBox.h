#pragma once
// A modal message box whose buttons the caller names.
//
// MessaggioConPulsanti(centreOn, caption, message, "Sì;No;Annulla", kind) shows the message with
// one button per ";"-separated label and returns the number (from 1) of the button pressed.
// The first button is the default (Enter), the last the cancel button (Escape); closing the box
// any other way also returns the last button's number (0 when no label was given).
//
// Kinds: 0 application icon; 1 or 64 information; 2 or 48 exclamation; 3 or 16 error;
// 4 or 32 question; 5 system logo; any other kind shows no icon. Every kind beeps.
//
// Geometry (client area, pixels): height 140 to start; at least 80 x buttons + 80 wide when the
// starting width less 70 is smaller than 80 x buttons; the message label sits at (70, 10) sized to
// its text and widens (label + 80) or heightens (label + 85, never beyond the screen) the box;
// the label then takes the box height less 78. The icon sits at left 20, centred vertically in
// the part above the button row. Buttons stand on one row 72 pixels above the bottom edge:
// each as wide as its label plus a tenth when that is wider than 70, else 70; 10 pixels apart; the
// row is centred counting each button's width plus 10. A row wider than the box widens the box.

#include <QDialog>
#include <QString>
#include <QVector>

class QLabel;
class QPushButton;

class TFormMessage : public QDialog
{
    Q_OBJECT
public:
    // Builds and lays out the box, centred on centreOn (on the screen when null), without
    // showing it.
    TFormMessage(QWidget *centreOn, const QString &caption, const QString &message, const QString &buttons, int kind);

    // Beeps, shows the box modally and returns the number of the button pressed.
    int esegui();

    // The width a new box starts from before the sizing rules apply.
    static constexpr int LarghezzaIniziale = 320;
    static constexpr int AltezzaIniziale = 140;
    static constexpr int AltezzaPulsante = 25;

public slots:
    // Escape and the close box: the last button's number.
    void reject() override;

private:
    void ButtonMsgClick(int numero);
    void posiziona(QWidget *centreOn);

    QLabel *m_labelMsg = nullptr;
    QLabel *m_imageMsg = nullptr;
    QVector<QPushButton *> m_pulsanti;
};

// Shows the box and returns the number of the button pressed (see TFormMessage).
int MessaggioConPulsanti(QWidget *centreOn, const QString &caption, const QString &message, const QString &buttons,
                         int kind);
