#include "listings/frmInsVarFoto.h"

#include "data/memtable/memtable.h"
#include "listings/galleria.h"
#include "widgets/uiservice.h"

namespace {
const char *const FiltroJpeg = "JPEG Image File (*.jpg *.jpeg)";

QString sn(bool selezionato)
{
    return selezionato ? QStringLiteral("S") : QStringLiteral("N");
}
} // namespace

TFormInsVarFoto::TFormInsVarFoto(tavo::TMemTable *riga, const QString &percorsoFoto, bool inserimento, QWidget *parent)
    : QDialog(parent), m_riga(riga)
{
    setupUi(this);
    setWindowTitle(inserimento ? QStringLiteral("Inserimento Foto") : QStringLiteral("Modifica Foto"));
    connect(ButtonSfoglia, &QToolButton::clicked, this, &TFormInsVarFoto::ButtonSfogliaClick);
    connect(ButtonConferma, &QPushButton::clicked, this, &TFormInsVarFoto::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    const QString percorso = riga->value(QStringLiteral("PATH_IMAGE")).toString();
    EditPATH_IMAGE->setText(percorso);
    EditDIDASCALIA->setText(riga->value(QStringLiteral("DIDASCALIA")).toString());
    m_peso = riga->value(QStringLiteral("PESO_KB"));
    EditPESO_KB->setText(tavo::testoPeso(m_peso));
    EditHEIGHT_PX->setValue(riga->value(QStringLiteral("HEIGHT_PX")).toInt());
    EditWIDTH_PX->setValue(riga->value(QStringLiteral("WIDTH_PX")).toInt());
    EditPLANIMETRIA->setChecked(riga->value(QStringLiteral("PLANIMETRIA")).toString() == QLatin1String("S"));
    EditPRINCIPALE->setChecked(riga->value(QStringLiteral("PRINCIPALE")).toString() == QLatin1String("S"));
    // A picture kept outside the photo folder was chosen that way: keep it so unless told otherwise.
    CheckBoxMantieniPercorso->setChecked(tavo::percorsoEsterno(percorso, percorsoFoto));
}

void TFormInsVarFoto::ButtonSfogliaClick()
{
    const QString file =
        tavo::ui().fileDaAprire(this, QStringLiteral("Apri"), EditPATH_IMAGE->text(), QString::fromLatin1(FiltroJpeg));
    if (file.isEmpty())
        return;
    EditPATH_IMAGE->setText(file);
    const tavo::InfoImmagine info = tavo::leggiInfoImmagine(file);
    m_peso = info.byte;
    EditPESO_KB->setText(tavo::testoPeso(m_peso));
    if (info.pixel.isValid()) {
        EditHEIGHT_PX->setValue(info.pixel.height());
        EditWIDTH_PX->setValue(info.pixel.width());
    }
}

void TFormInsVarFoto::ButtonConfermaClick()
{
    m_riga->setValue(QStringLiteral("PATH_IMAGE"), EditPATH_IMAGE->text());
    m_riga->setValue(QStringLiteral("DIDASCALIA"), EditDIDASCALIA->text());
    m_riga->setValue(QStringLiteral("PESO_KB"), m_peso);
    m_riga->setValue(QStringLiteral("HEIGHT_PX"), EditHEIGHT_PX->value());
    m_riga->setValue(QStringLiteral("WIDTH_PX"), EditWIDTH_PX->value());
    m_riga->setValue(QStringLiteral("PLANIMETRIA"), sn(EditPLANIMETRIA->isChecked()));
    m_riga->setValue(QStringLiteral("PRINCIPALE"), sn(EditPRINCIPALE->isChecked()));
    accept();
}
