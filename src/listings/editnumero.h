#pragma once
// TEditNumero: the number fields of the listing editor (price, areas, counts, coordinates), promoted from a
// QLineEdit in the Designer form.
//
//   - digits and one decimal comma; a sign only where negative values make sense (coordinates);
//   - with "puntoInVirgola" a typed "." becomes "," (price, condominium expenses, garage and garden areas);
//   - "valuta" fields show "€ 1.234,50" while they do not have the focus and the plain number while they do;
//   - valore() is the number typed (0 for an empty field); the column conversions (money with four decimals,
//     integers with the fraction cut off) are the caller's.
// Typing emits textEdited as a QLineEdit does, so the editor's modified flag follows it; impostaValore() does not.

#include <QLineEdit>

class TEditNumero : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(bool valuta READ valuta WRITE setValuta)
    Q_PROPERTY(bool puntoInVirgola READ puntoInVirgola WRITE setPuntoInVirgola)
    Q_PROPERTY(bool segno READ segno WRITE setSegno)

public:
    explicit TEditNumero(QWidget *parent = nullptr);

    double valore() const;
    void impostaValore(double valore);

    bool valuta() const { return m_valuta; }
    void setValuta(bool valuta);
    bool puntoInVirgola() const { return m_puntoInVirgola; }
    void setPuntoInVirgola(bool attivo) { m_puntoInVirgola = attivo; }
    bool segno() const { return m_segno; }
    void setSegno(bool segno);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void aggiornaValidatore();
    void mostra();
    void testoModificato(const QString &testo);

    double m_valore = 0;
    bool m_valuta = false;
    bool m_puntoInVirgola = false;
    bool m_segno = false;
    bool m_formattato = false; // the text on show is the currency form, not the editable one
};
