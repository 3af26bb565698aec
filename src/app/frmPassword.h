#pragma once
// The start-up password dialog, also used for the SQL console's access code: one attempt, the
// typed text compared with the expected one without regard to letter case.

#include <QDialog>

#include <memory>

namespace Ui {
class TFormPassword;
}

class TFormPassword : public QDialog
{
    Q_OBJECT
public:
    TFormPassword(const QString &caption, const QString &atteso, QWidget *parent = nullptr);
    ~TFormPassword() override;

    // Shows the dialog modally: true only when the typed text matches.
    static bool Verifica(const QString &caption, const QString &atteso, QWidget *parent = nullptr);

private:
    void ButtonConfermaClick();
    void ButtonAnnullaClick();

    std::unique_ptr<Ui::TFormPassword> m_ui;
    QString m_atteso;
};
