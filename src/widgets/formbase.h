#pragma once
// What every screen has: Escape closes it, its placement and a few control values are kept in
// the settings store under the screen's own group ("FormRicercaAnnunci", ...), and editors keep a
// modified flag that closing asks about ("Campi modificati. Salvare i dati immessi?").

#include <QVariant>
#include <QWidget>

class QLabel;

namespace tavo {

class TFormBase : public QWidget
{
    Q_OBJECT
public:
    // gruppo: the settings group, named after the screen ("FormRicercaClienti").
    TFormBase(const QString &gruppo, QWidget *parent = nullptr);

    QString gruppoImpostazioni() const { return m_gruppo; }
    // The window that frames this screen: its MDI subwindow when it has one, else itself.
    QWidget *finestra() const;

    void salvaImpostazione(const QString &chiave, const QVariant &valore) const;
    QVariant leggiImpostazione(const QString &chiave, const QVariant &predefinito = QVariant()) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Each screen adds the control values its settings keep.
    virtual void salvaStato() const {}
    virtual void ripristinaStato() {}

private:
    QString m_gruppo;
    bool m_ripristinato = false;
};

class TEditorBase : public TFormBase
{
    Q_OBJECT
public:
    using TFormBase::TFormBase;

    bool modificato() const { return m_modificato; }
    void impostaModificato(bool modificato) { m_modificato = modificato; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Saves what is on screen; false when the save was refused (the editor stays open).
    virtual bool salva() = 0;
    // Whether closing asks about unsaved changes (the quick find of requests does not).
    virtual bool chiedeAllaChiusura() const { return true; }
    // Marks the editor modified whenever one of these controls changes.
    void osservaModifiche(const QList<QWidget *> &controlli);

private:
    bool m_modificato = false;
};

// A refused field: its label turns red and the field takes the focus.
void rifiutaCampo(QLabel *etichetta, QWidget *campo);
// Puts labels back to the normal colour before a new check.
void ripristinaEtichette(const QList<QLabel *> &etichette);

// Enables or disables a list of controls and actions at once (the searches' command states).
void abilita(const QList<QObject *> &controlli, bool attivo);

} // namespace tavo
