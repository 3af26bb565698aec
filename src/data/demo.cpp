#include "data/demo.h"

#include "data/database.h"

#include <QBuffer>
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QVector>

#include <cmath>

namespace tavo::db {

namespace {

// ---- fixed material --------------------------------------------------------------------------

const char *const surnames[] = {
    "ROSSI",      "RUSSO",  "FERRARI",  "ESPOSITO", "BIANCHI",  "ROMANO",    "COLOMBO",  "RICCI",
    "MARINO",     "GRECO",  "BRUNO",    "GALLO",    "CONTI",    "DE LUCA",   "MANCINI",  "COSTA",
    "GIORDANO",   "RIZZO",  "LOMBARDI", "MORETTI",  "BARBIERI", "FONTANA",   "SANTORO",  "MARIANI",
    "RINALDI",    "CARUSO", "FERRARA",  "GALLI",    "MARTINI",  "LEONE",     "LONGO",    "GENTILE",
    "MARTINELLI", "VITALE", "LOMBARDO", "SERRA",    "COPPOLA",  "DE SANTIS", "D'ANGELO", "MARCHETTI",
};
const char *const firstNames[] = {
    "MARIO",     "LUCA",    "GIUSEPPE", "ANDREA",    "MARCO",      "FRANCESCO", "ALESSANDRO", "GIOVANNI",
    "PAOLO",     "STEFANO", "ROBERTO",  "MATTEO",    "DAVIDE",     "SIMONE",    "FEDERICO",   "LORENZO",
    "MARIA",     "ANNA",    "GIULIA",   "FRANCESCA", "SARA",       "LAURA",     "CHIARA",     "ELENA",
    "VALENTINA", "SILVIA",  "PAOLA",    "MARTINA",   "ALESSANDRA", "ROBERTA",   "CRISTINA",   "NICCOLÒ",
};
const char *const companies[] = {
    "EDILNORD S.R.L.",         "BRIANZA COSTRUZIONI S.P.A.", "IMMOBILIARE LAMBRO S.R.L.", "STUDIO TECNICO VILLA S.N.C.",
    "GESTIONI NAVIGLI S.R.L.",
};
const char *const streets[] = {
    "VIA GARIBALDI",  "VIA MAZZINI",          "VIA ROMA",       "CORSO VITTORIO EMANUELE",
    "VIA VERDI",      "VIA MANZONI",          "VIA DANTE",      "VIALE LOMBARDIA",
    "VIA CAVOUR",     "VIA MATTEOTTI",        "VIA VOLTA",      "VIA PASCOLI",
    "VIA DON STURZO", "VIA DELLA REPUBBLICA", "VIALE ITALIA",   "VIA XX SETTEMBRE",
    "VIA BERGAMO",    "VIA MONTE GRAPPA",     "VIA DE GASPERI", "PIAZZA DUOMO",
};
const char *const sources[] = {"Passaparola", "Sito web", "Cartello", "Giornale", "Telefonata", "Vetrina"};

// The places of the agency's listings: zones of Milano and towns of the two provinces.
struct Place
{
    const char *name; // COMUNI.NOME
    int province;     // COMUNI.ID_PROVINCIA
    const char *cap;
    double lat, lon; // about the centre
    int pricePerMq;  // sale price per square metre
    const char *localities[3];
};
const Place places[] = {
    {"MILANO (ZONA BRERA)", 15, "20121", 45.4720, 9.1870, 9500, {"", "", ""}},
    {"MILANO (ZONA CITTÀ STUDI)", 15, "20133", 45.4780, 9.2270, 5600, {"", "", ""}},
    {"MILANO (ZONA NAVIGLI)", 15, "20143", 45.4520, 9.1750, 6800, {"DARSENA", "", ""}},
    {"MILANO (ZONA ISOLA)", 15, "20159", 45.4880, 9.1890, 7200, {"", "", ""}},
    {"MILANO (ZONA PORTA ROMANA)", 15, "20135", 45.4510, 9.2050, 6500, {"", "", ""}},
    {"MILANO (ZONA BICOCCA)", 15, "20126", 45.5130, 9.2110, 4300, {"", "", ""}},
    {"SESTO SAN GIOVANNI", 15, "20099", 45.5350, 9.2320, 2900, {"RONDÒ", "CENTRO", "MARELLI"}},
    {"CINISELLO BALSAMO", 15, "20092", 45.5580, 9.2150, 2500, {"BALSAMO", "CENTRO", ""}},
    {"COLOGNO MONZESE", 15, "20093", 45.5300, 9.2780, 2400, {"SAN MAURIZIO", "", ""}},
    {"MONZA", 108, "20900", 45.5845, 9.2744, 3300, {"SAN BIAGIO", "TRIANTE", "CENTRO STORICO"}},
    {"LISSONE", 108, "20851", 45.6130, 9.2440, 2300, {"SANTA MARGHERITA", "", ""}},
    {"DESIO", 108, "20832", 45.6180, 9.2080, 2100, {"SAN GIORGIO", "", ""}},
    {"SEREGNO", 108, "20831", 45.6500, 9.2040, 2200, {"SANTA VALERIA", "", ""}},
    {"VIMERCATE", 108, "20871", 45.6120, 9.3700, 2500, {"ORENO", "RUGINELLO", ""}},
    {"BRUGHERIO", 108, "20861", 45.5520, 9.3000, 2400, {"SAN DAMIANO", "", ""}},
};
const int placeCount = int(sizeof places / sizeof places[0]);

// Property types of the listings, with their weight and size range.
struct Kind
{
    const char *type; // TIPOLOGIE_IMMOBILI.DESCRIZIONE
    int weight;
    int mqMin, mqMax;
    int roomsMin, roomsMax; // 0: rooms not stated
    bool commercial;
    bool residential; // has bedrooms, kitchen, heating...
};
const Kind kinds[] = {
    {"APPARTAMENTO", 10, 55, 130, 2, 5, false, true},
    {"MONOLOCALE", 8, 25, 40, 1, 1, false, true},
    {"BILOCALE", 14, 45, 70, 2, 2, false, true},
    {"TRILOCALE", 14, 70, 105, 3, 3, false, true},
    {"QUADRILOCALE", 7, 95, 140, 4, 4, false, true},
    {"ATTICO", 3, 100, 200, 3, 5, false, true},
    {"MANSARDA", 2, 40, 80, 2, 3, false, true},
    {"VILLA", 3, 180, 350, 5, 8, false, true},
    {"VILLETTA A SCHIERA", 4, 120, 200, 4, 6, false, true},
    {"STANZA", 2, 12, 20, 1, 1, false, true},
    {"BOX", 4, 12, 35, 0, 0, false, false},
    {"NEGOZIO", 3, 40, 150, 1, 3, true, false},
    {"UFFICIO", 3, 60, 250, 2, 6, true, false},
    {"CAPANNONE", 1, 300, 1200, 0, 0, true, false},
};
const int kindCount = int(sizeof kinds / sizeof kinds[0]);

const char *const floors[] = {"pianoterra", "piano rialzato", "1", "2", "3", "4", "5", "6", "7", ">7", "ultimo"};
const char *const conditions[] = {"", "abitabile", "buono", "nuovo", "ottimo", "ristrutturato", "da ristrutturare"};
const char *const kitchens[] = {"", "abitabile", "angolo cottura", "cucinotto", "semiabitabile"};
const char *const heatings[] = {"", "autonomo", "centralizzato"};
const char *const availabilities[] = {"", "libero", "occupato", "affittato"};

template <typename T, int N> constexpr int count(const T (&)[N])
{
    return N;
}

// ---- helpers ---------------------------------------------------------------------------------

class Random
{
public:
    explicit Random(quint32 seed) : m_gen(seed) {}
    int between(int lo, int hi) { return lo + int(m_gen.bounded(quint32(hi - lo + 1))); } // both ends included
    bool chance(int percent) { return int(m_gen.bounded(100u)) < percent; }
    template <typename T, int N> T pick(const T (&items)[N]) { return items[m_gen.bounded(quint32(N))]; }
    int index(int n) { return int(m_gen.bounded(quint32(n))); }
    // Three-state flag: "S", "N" or not stated.
    QString flag(int yesPercent, int unstatedPercent = 15)
    {
        if (chance(unstatedPercent))
            return QString();
        return chance(yesPercent) ? QStringLiteral("S") : QStringLiteral("N");
    }

private:
    QRandomGenerator m_gen;
};

QString sn(bool yes)
{
    return yes ? QStringLiteral("S") : QStringLiteral("N");
}

// Lower-case letters only, for e-mail addresses ("D'ANGELO" -> "dangelo", "NICCOLÒ" -> "niccolo").
QString mailPart(const QString &name)
{
    QString out;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.isLetter() && c.unicode() < 128)
            out += c.toLower();
    }
    return out;
}

QString mobile(Random &rnd)
{
    return QStringLiteral("3%1%2 %3").arg(rnd.between(2, 9)).arg(rnd.between(0, 9)).arg(rnd.between(1000000, 9999999));
}

QString landline(Random &rnd, const QString &prefix)
{
    return prefix + QLatin1Char(' ') + QString::number(rnd.between(2000000, 9999999));
}

// A valid Italian VAT number: ten digits and the check digit.
QString vatNumber(Random &rnd)
{
    QString digits = QStringLiteral("0");
    for (int i = 1; i < 10; ++i)
        digits += QChar(u'0' + rnd.between(0, 9));
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = digits.at(i).digitValue();
        if (i % 2 == 1) {
            d *= 2;
            d = d / 10 + d % 10;
        }
        sum += d;
    }
    return digits + QChar(u'0' + (10 - sum % 10) % 10);
}

qint64 nextId(Transaction &tr, const char *generator)
{
    return generatorValue(tr, QLatin1String(generator));
}

int lookupId(Transaction &tr, const QString &sql, const QString &param, const QVariant &value, const QString &what)
{
    Query q(tr, sql);
    q.setParam(param, value);
    if (!q.first())
        throw DbError(QStringLiteral("Dati di base mancanti per l'agenzia dimostrativa: %1").arg(what));
    return q.value(0).toInt();
}

// ---- photos ----------------------------------------------------------------------------------

// A 640 x 480 picture: sky, lawn and a house whose shape and colours vary, with the reference.
QImage housePicture(Random &rnd, const QString &caption)
{
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 330);
    sky.setColorAt(0, QColor::fromHsv(rnd.between(195, 215), rnd.between(90, 160), 235));
    sky.setColorAt(1, QColor::fromHsv(rnd.between(195, 215), 40, 250));
    p.fillRect(0, 0, 640, 330, sky);
    p.fillRect(0, 330, 640, 150, QColor::fromHsv(rnd.between(80, 120), rnd.between(110, 190), rnd.between(120, 180)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 110));
    p.drawEllipse(QPointF(rnd.between(60, 580), rnd.between(40, 90)), 28, 28);

    const int width = rnd.between(220, 380);
    const int height = rnd.between(140, 220);
    const int left = rnd.between(60, 600 - width);
    const int top = 350 - height;
    const QColor wall = QColor::fromHsv(rnd.between(0, 50), rnd.between(30, 120), rnd.between(180, 245));
    p.setBrush(wall);
    p.setPen(QPen(wall.darker(140), 2));
    p.drawRect(left, top, width, height);
    const QColor roof = QColor::fromHsv(rnd.between(0, 20), rnd.between(120, 200), rnd.between(100, 170));
    p.setBrush(roof);
    p.setPen(QPen(roof.darker(130), 2));
    const int roofHeight = rnd.between(60, 110);
    p.drawPolygon(QPolygonF(
        {QPointF(left - 20, top), QPointF(left + width / 2.0, top - roofHeight), QPointF(left + width + 20, top)}));

    // Door and windows.
    p.setPen(QPen(QColor(70, 50, 40), 2));
    p.setBrush(QColor::fromHsv(rnd.between(15, 35), 150, rnd.between(80, 130)));
    const int doorX = left + width / 2 - 22;
    p.drawRect(doorX, 350 - 75, 44, 75);
    p.setBrush(QColor(170, 210, 235));
    const int rows = height > 180 ? 2 : 1;
    for (int r = 0; r < rows; ++r) {
        const int y = top + 20 + r * 75;
        for (int x = left + 20; x + 45 < left + width - 10; x += 75) {
            if (r == rows - 1 && x + 45 > doorX - 5 && x < doorX + 49)
                continue;
            p.drawRect(x, y, 45, 45);
        }
    }

    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont font = p.font();
        font.setPixelSize(26);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 150));
        p.drawRect(0, 430, 640, 50);
        p.setPen(Qt::white);
        p.drawText(QRect(12, 430, 616, 50), Qt::AlignVCenter | Qt::AlignLeft, caption);
    }
    p.end();
    return img;
}

// A simple floor plan: an outline split into rooms.
QImage floorPlan(Random &rnd, const QString &caption)
{
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(QColor(40, 40, 40), 6));
    const QRect outline(60, 50, 520, 340);
    p.drawRect(outline);
    p.setPen(QPen(QColor(40, 40, 40), 3));
    const int split = rnd.between(220, 360);
    p.drawLine(outline.left() + split, outline.top(), outline.left() + split, outline.bottom());
    const int shelf = rnd.between(140, 220);
    p.drawLine(outline.left(), outline.top() + shelf, outline.left() + split, outline.top() + shelf);
    p.drawLine(outline.left() + split, outline.top() + 170, outline.right(), outline.top() + 170);
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont font = p.font();
        font.setPixelSize(22);
        p.setFont(font);
        p.drawText(QRect(0, 410, 640, 50), Qt::AlignCenter, caption);
    }
    p.end();
    return img;
}

// ---- the agency ------------------------------------------------------------------------------

struct Client
{
    qint64 id = 0;
    QString name;
    QString email;
    QString smsPhone;
};

struct Listing
{
    qint64 id = 0;
    int place = 0;
    int kind = 0;
    int type = 0;   // ID_TIPOLOGIA_IMMOBILE
    int kindId = 1; // ID_TIPOLOGIA_ANNUNCIO
    qint64 owner = 0;
    double price = 0;
    double mq = 0;
    double rooms = 0;
    QString reference;
    QString description;
};

class DemoBuilder
{
public:
    DemoBuilder(Database &db, const QString &photoFolder, quint32 seed)
        : m_tr(db), m_rnd(seed), m_photoFolder(photoFolder), m_today(QDate::currentDate())
    {
    }

    void run()
    {
        try {
            loadLookups();
            writeOptions();
            writeClients();
            writeListings();
            writeRequests();
            writeSends();
            writeMagazines();
            writeAppointments();
            m_tr.commit();
        } catch (...) {
            // Nothing is committed: the pictures written so far would belong to no listing.
            for (const QString &file : std::as_const(m_files))
                QFile::remove(file);
            for (const QString &dir : std::as_const(m_dirs))
                QDir().rmdir(dir);
            throw;
        }
    }

private:
    QDateTime daysAgo(int days, int hour, int minute) const
    {
        return QDateTime(m_today.addDays(-days), QTime(hour, minute));
    }

    void loadLookups()
    {
        const QString typeSql =
            QStringLiteral("select ID_TIPOLOGIA_IMMOBILE from TIPOLOGIE_IMMOBILI where DESCRIZIONE=:D");
        for (const Kind &k : kinds)
            m_typeIds << lookupId(m_tr, typeSql, QStringLiteral("D"), QString::fromUtf8(k.type),
                                  QStringLiteral("tipologia %1").arg(QString::fromUtf8(k.type)));
        const QString placeSql = QStringLiteral("select ID_COMUNE from COMUNI where NOME=:NOME and ID_PROVINCIA=%1");
        for (const Place &pl : places)
            m_placeIds << lookupId(m_tr, placeSql.arg(pl.province), QStringLiteral("NOME"), QString::fromUtf8(pl.name),
                                   QStringLiteral("comune %1").arg(QString::fromUtf8(pl.name)));
        Query kindsQuery(m_tr,
                         QStringLiteral("select count(*) from TIPOLOGIE_ANNUNCI where ID_TIPOLOGIA_ANNUNCIO in (1,2)"));
        if (!kindsQuery.first() || kindsQuery.value(0).toInt() != 2)
            throw DbError(QStringLiteral("Dati di base mancanti per l'agenzia dimostrativa: tipologie annuncio"));
    }

    void writeOptions()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral("update or insert into OPZIONI (ID,AZ_RAGSOC,AZ_INDIRIZZO,AZ_CITTA,AZ_CAP,AZ_PROV,AZ_PIVA,"),
            QStringLiteral("AZ_TEL1,AZ_TEL2,AZ_CELL,AZ_SITOWEB,AZ_EMAIL,AUTO_FORM,SMTP_PORT,SMS_TIPO,"),
            QStringLiteral("OGGETTO_EMAIL,CORPO_EMAIL,OGGETTO_SMS,CORPO_SMS,GEN_RIFERIMENTO,AGG_DB)"),
            QStringLiteral("values (0,:AZ_RAGSOC,:AZ_INDIRIZZO,:AZ_CITTA,:AZ_CAP,:AZ_PROV,:AZ_PIVA,"),
            QStringLiteral(":AZ_TEL1,:AZ_TEL2,:AZ_CELL,:AZ_SITOWEB,:AZ_EMAIL,0,25,0,"),
            QStringLiteral(":OGGETTO_EMAIL,:CORPO_EMAIL,:OGGETTO_SMS,:CORPO_SMS,'S',"),
            QStringLiteral("coalesce((select AGG_DB from OPZIONI where ID=0),0))"),
            QStringLiteral("matching (ID)"),
        });
        q.setParam(QStringLiteral("AZ_RAGSOC"), QStringLiteral("Immobiliare Demo"));
        q.setParam(QStringLiteral("AZ_INDIRIZZO"), QStringLiteral("Via Vittorio Emanuele 24"));
        q.setParam(QStringLiteral("AZ_CITTA"), QStringLiteral("Monza"));
        q.setParam(QStringLiteral("AZ_CAP"), QStringLiteral("20900"));
        q.setParam(QStringLiteral("AZ_PROV"), QStringLiteral("MB"));
        q.setParam(QStringLiteral("AZ_PIVA"), vatNumber(m_rnd));
        q.setParam(QStringLiteral("AZ_TEL1"), QStringLiteral("039 2301456"));
        q.setParam(QStringLiteral("AZ_TEL2"), QStringLiteral("039 2301457"));
        q.setParam(QStringLiteral("AZ_CELL"), QStringLiteral("333 1234567"));
        // Reserved example domains: trying the program never writes to a real address.
        q.setParam(QStringLiteral("AZ_SITOWEB"), QStringLiteral("http://www.immobiliare-demo.example"));
        q.setParam(QStringLiteral("AZ_EMAIL"), QStringLiteral("info@immobiliare-demo.example"));
        q.setParam(QStringLiteral("OGGETTO_EMAIL"), QStringLiteral("Una proposta per Lei da #nome_agenzia#"));
        q.setParam(QStringLiteral("CORPO_EMAIL"),
                   QStringLiteral("Gentile %CLIENTE%,\r\n"
                                  "in base alla Sua richiesta Le proponiamo l'immobile descritto qui sotto.\r\n"
                                  "Per ulteriori informazioni o per fissare una visita non esiti a contattarci.\r\n"
                                  "\r\n"
                                  "Cordiali saluti,\r\n"
                                  "#nome_agenzia#"));
        q.setParam(QStringLiteral("OGGETTO_SMS"), QStringLiteral("Proposta immobile"));
        q.setParam(QStringLiteral("CORPO_SMS"),
                   QStringLiteral("#nome_agenzia#: %CLIENTE%, abbiamo un immobile adatto a Lei. Ci chiami!"));
        q.exec();
    }

    void writeClients()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,TELEFONO3,TEL_X_SMS,FAX,EMAIL,"),
            QStringLiteral("SITO_WEB,INDIRIZZO,CAP,CITTA,PROV,PARTITA_IVA,CODICE_FISCALE,REFERENTE,NOTE,PROPRIETARIO)"),
            QStringLiteral("values (:ID_CLIENTE,:DESCR,:TELEFONO1,:TELEFONO2,:TELEFONO3,:TEL_X_SMS,:FAX,:EMAIL,"),
            QStringLiteral(":SITO_WEB,:INDIRIZZO,:CAP,:CITTA,:PROV,:PARTITA_IVA,:CODICE_FISCALE,:REFERENTE,:NOTE,"),
            QStringLiteral(":PROPRIETARIO)"),
        });
        QSet<QString> used;
        const int total = 60;
        for (int i = 0; i < total; ++i) {
            Client c;
            c.id = nextId(m_tr, "GEN_CLIENTI_ID");
            const bool company = i % 12 == 5; // five companies among the sixty
            QString referente;
            QString partitaIva;
            QString sitoWeb;
            QString fax;
            QString tel1, tel2, tel3;
            int telSms = 0;
            const Place &home = places[m_rnd.index(placeCount)];
            const QString prefix = home.province == 15 ? QStringLiteral("02") : QStringLiteral("039");
            if (company) {
                c.name = QString::fromUtf8(companies[(i / 12) % count(companies)]);
                referente = QString::fromUtf8(m_rnd.pick(firstNames)) + QLatin1Char(' ') +
                            QString::fromUtf8(m_rnd.pick(surnames));
                partitaIva = vatNumber(m_rnd);
                const QString domain = mailPart(c.name.section(QLatin1Char(' '), 0, 0)) + QStringLiteral(".example");
                c.email = QStringLiteral("info@") + domain;
                sitoWeb = QStringLiteral("http://www.") + domain;
                tel1 = landline(m_rnd, prefix);
                fax = landline(m_rnd, prefix);
                tel2 = mobile(m_rnd);
                telSms = 2;
            } else {
                QString surname, name;
                do {
                    surname = QString::fromUtf8(m_rnd.pick(surnames));
                    name = QString::fromUtf8(m_rnd.pick(firstNames));
                } while (used.contains(surname + name));
                used.insert(surname + name);
                c.name = surname + QLatin1Char(' ') + name;
                if (!m_rnd.chance(15))
                    c.email = mailPart(name) + QLatin1Char('.') + mailPart(surname) + QStringLiteral("@example.com");
                if (m_rnd.chance(40)) {
                    tel1 = landline(m_rnd, prefix);
                    tel2 = mobile(m_rnd);
                    telSms = 2;
                } else {
                    tel1 = mobile(m_rnd);
                    telSms = m_rnd.chance(85) ? 1 : 0;
                }
                if (m_rnd.chance(10))
                    tel3 = mobile(m_rnd);
            }
            c.smsPhone = telSms == 1 ? tel1 : telSms == 2 ? tel2 : QString();
            const bool owner = i % 5 < 2; // 24 owners
            auto text = [](const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); };
            q.setParam(QStringLiteral("ID_CLIENTE"), c.id);
            q.setParam(QStringLiteral("DESCR"), c.name);
            q.setParam(QStringLiteral("TELEFONO1"), text(tel1));
            q.setParam(QStringLiteral("TELEFONO2"), text(tel2));
            q.setParam(QStringLiteral("TELEFONO3"), text(tel3));
            q.setParam(QStringLiteral("TEL_X_SMS"), telSms);
            q.setParam(QStringLiteral("FAX"), text(fax));
            q.setParam(QStringLiteral("EMAIL"), text(c.email));
            q.setParam(QStringLiteral("SITO_WEB"), text(sitoWeb));
            q.setParam(QStringLiteral("INDIRIZZO"),
                       QStringLiteral("%1 %2").arg(QString::fromUtf8(m_rnd.pick(streets))).arg(m_rnd.between(1, 120)));
            q.setParam(QStringLiteral("CAP"), QString::fromUtf8(home.cap));
            q.setParam(QStringLiteral("CITTA"), QString::fromUtf8(home.name).section(QStringLiteral(" (ZONA"), 0, 0));
            q.setParam(QStringLiteral("PROV"), home.province == 15 ? QStringLiteral("MI") : QStringLiteral("MB"));
            q.setParam(QStringLiteral("PARTITA_IVA"), text(partitaIva));
            q.setParam(QStringLiteral("CODICE_FISCALE"), QVariant());
            q.setParam(QStringLiteral("REFERENTE"), text(referente));
            q.setParam(QStringLiteral("NOTE"), m_rnd.chance(15)
                                                   ? QVariant(QStringLiteral("Preferisce essere contattato "
                                                                             "nel tardo pomeriggio."))
                                                   : QVariant());
            q.setParam(QStringLiteral("PROPRIETARIO"), sn(owner));
            q.exec();
            m_clients << c;
            if (owner)
                m_owners << m_clients.size() - 1;
        }
    }

    QString listingDescription(const Listing &l, const Kind &k, const QString &floor, const QString &balcony,
                               const QString &cellar, const QString &lift, const QString &garden,
                               const QString &condition) const
    {
        const QString where = QString::fromUtf8(places[l.place].name);
        QString type = QString::fromUtf8(k.type).toLower();
        if (!k.residential) {
            return QStringLiteral("%1 di %2 mq a %3, %4. Facilmente raggiungibile, ampio parcheggio in zona.")
                .arg(type.left(1).toUpper() + type.mid(1))
                .arg(int(l.mq))
                .arg(where)
                .arg(condition.isEmpty() ? QStringLiteral("in buone condizioni") : condition);
        }
        QStringList extras;
        if (balcony == QLatin1String("S"))
            extras << QStringLiteral("balcone");
        if (cellar == QLatin1String("S"))
            extras << QStringLiteral("cantina");
        if (garden == QLatin1String("privato"))
            extras << QStringLiteral("giardino privato");
        else if (garden == QLatin1String("comune"))
            extras << QStringLiteral("giardino condominiale");
        QString text = QStringLiteral("Luminoso %1 di %2 mq a %3").arg(type).arg(int(l.mq)).arg(where);
        if (floor == QLatin1String("pianoterra"))
            text += QStringLiteral(", al piano terra");
        else if (floor == QLatin1String("piano rialzato"))
            text += QStringLiteral(", al piano rialzato");
        else if (floor == QLatin1String("ultimo"))
            text += QStringLiteral(", all'ultimo piano");
        else if (floor == QLatin1String(">7"))
            text += QStringLiteral(", ai piani alti");
        else if (!floor.isEmpty())
            text += QStringLiteral(", al %1° piano").arg(floor);
        if (lift == QLatin1String("S"))
            text += QStringLiteral(" con ascensore");
        text += QLatin1Char('.');
        if (l.rooms >= 2)
            text += QStringLiteral(" Composto da ingresso, soggiorno, cucina, %1 e %2.")
                        .arg(l.rooms >= 3 ? QStringLiteral("%1 camere").arg(int(l.rooms) - 1)
                                          : QStringLiteral("una camera"))
                        .arg(l.rooms >= 4 ? QStringLiteral("due bagni") : QStringLiteral("bagno"));
        if (!extras.isEmpty())
            text += QStringLiteral(" Completano la proprietà %1.").arg(extras.join(QStringLiteral(", ")));
        if (!condition.isEmpty())
            text += QStringLiteral(" Stato: %1.").arg(condition);
        return text;
    }

    void writeListings()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,ID_TIPOLOGIA_IMMOBILE,"),
            QStringLiteral(
                "ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,NOTE_PREZZO,PREZZO_VISIBILE,MQ,NR_LOCALI,NR_SERVIZI,"),
            QStringLiteral(
                "LOCALITA,INDIRIZZO,NUM_CIVICO,DESCRIZIONE,DATA_INSERIMENTO,DATA_AGGIORNAMENTO,PRIORITA,MAPPA,"),
            QStringLiteral(
                "NCOSTRUZIONESN,NR_CAMERE,BOX_AUTO,MQ_BOX,BALCONE,TERRAZZO,MANSARDA,CANTINA,GIARDINO,MQ_GIARDINO,"),
            QStringLiteral(
                "PIANO,TOTALE_PIANI,SPESE_COND_MENSILI,CONDIZIONI,ASCENSORE,CONDIZIONATORE,CUCINA,RISCALDAMENTO,"),
            QStringLiteral(
                "INDIRIZZO_VISIBILE,DISPONIBILITA,DESCRIZIONE_VETRINA,CAP_ANNUNCIO,COORD_LONG,COORD_LAT,FOTOSN,"),
            QStringLiteral("ELIMINATO,LUOGO_X_APPUNTAMENTO,SOGGIORNO,ARREDATO,NR_CAMERE_DOPPIE,NR_SERVIZI_FINESTR,"),
            QStringLiteral("CATEGORIA_ANNUNCIO)"),
            QStringLiteral("values (:ID_ANNUNCIO_IMMOBILE,:ID_CLIENTE,:ID_COMUNE,:ID_TIPOLOGIA_IMMOBILE,"),
            QStringLiteral(":ID_TIPOLOGIA_ANNUNCIO,:RIFERIMENTO,:PREZZO,:NOTE_PREZZO,:PREZZO_VISIBILE,:MQ,:NR_LOCALI,"),
            QStringLiteral(":NR_SERVIZI,:LOCALITA,:INDIRIZZO,:NUM_CIVICO,:DESCRIZIONE,:DATA_INSERIMENTO,"),
            QStringLiteral(
                ":DATA_AGGIORNAMENTO,:PRIORITA,:MAPPA,:NCOSTRUZIONESN,:NR_CAMERE,:BOX_AUTO,:MQ_BOX,:BALCONE,"),
            QStringLiteral(
                ":TERRAZZO,:MANSARDA,:CANTINA,:GIARDINO,:MQ_GIARDINO,:PIANO,:TOTALE_PIANI,:SPESE_COND_MENSILI,"),
            QStringLiteral(":CONDIZIONI,:ASCENSORE,:CONDIZIONATORE,:CUCINA,:RISCALDAMENTO,:INDIRIZZO_VISIBILE,"),
            QStringLiteral(":DISPONIBILITA,:DESCRIZIONE_VETRINA,:CAP_ANNUNCIO,:COORD_LONG,:COORD_LAT,'S',:ELIMINATO,"),
            QStringLiteral(":LUOGO_X_APPUNTAMENTO,:SOGGIORNO,:ARREDATO,:NR_CAMERE_DOPPIE,:NR_SERVIZI_FINESTR,"),
            QStringLiteral(":CATEGORIA_ANNUNCIO)"),
        });
        Query photo(m_tr);
        photo.setSql(QStringList{
            QStringLiteral(
                "insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,DIDASCALIA,PESO_KB,"),
            QStringLiteral("HEIGHT_PX,WIDTH_PX,INVIATA,PLANIMETRIA,PRINCIPALE)"),
            QStringLiteral("values (:ID_PHOTOGALLERY,:ID_ANNUNCIO_IMMOBILE,:PATH_IMAGE,:DIDASCALIA,:PESO_KB,"),
            QStringLiteral(":HEIGHT_PX,:WIDTH_PX,'N',:PLANIMETRIA,:PRINCIPALE)"),
        });

        int totalWeight = 0;
        for (const Kind &k : kinds)
            totalWeight += k.weight;

        for (int i = 0; i < 120; ++i) {
            Listing l;
            l.id = nextId(m_tr, "GEN_ANNUNCI_IMMOBILI_ID");
            // Every owner has at least one listing; the rest are spread among them.
            const int ownerIndex = i < m_owners.size() ? m_owners.at(i) : m_owners.at(m_rnd.index(m_owners.size()));
            l.owner = m_clients.at(ownerIndex).id;
            l.place = m_rnd.index(placeCount);
            int w = m_rnd.index(totalWeight);
            l.kind = 0;
            while (w >= kinds[l.kind].weight) {
                w -= kinds[l.kind].weight;
                ++l.kind;
            }
            const Kind &k = kinds[l.kind];
            const Place &pl = places[l.place];
            l.type = m_typeIds.at(l.kind);
            l.kindId = m_rnd.chance(k.residential ? 30 : 45) ? 2 : 1; // rent or sale
            l.mq = m_rnd.between(k.mqMin, k.mqMax);
            l.rooms = k.roomsMin == 0 ? 0 : m_rnd.between(k.roomsMin, k.roomsMax);
            if (l.rooms >= 3 && QLatin1String(k.type) == QLatin1String("APPARTAMENTO") && m_rnd.chance(25))
                l.rooms += 0.5; // "3 locali e mezzo"
            const double factor = (85 + m_rnd.between(0, 30)) / 100.0;
            if (l.kindId == 1) {
                double perMq = pl.pricePerMq * factor * (k.commercial ? 0.8 : 1.0);
                if (QLatin1String(k.type) == QLatin1String("BOX"))
                    perMq = pl.pricePerMq * 0.55;
                l.price = std::round(l.mq * perMq / 1000.0) * 1000.0;
            } else {
                const double perMq = pl.pricePerMq / 300.0 * factor;
                const double monthly =
                    QLatin1String(k.type) == QLatin1String("STANZA") ? m_rnd.between(450, 750) : l.mq * perMq;
                l.price = std::max(100.0, std::round(monthly / 50.0) * 50.0);
            }
            if (m_rnd.chance(4))
                l.price = 0; // price on request
            l.reference = QString::number(nextId(m_tr, "GEN_RIFERIMENTO")).rightJustified(3, QLatin1Char('0'));

            const QString floor = k.residential || k.commercial ? QString::fromUtf8(m_rnd.pick(floors)) : QString();
            const int buildingFloors = floor.isEmpty() ? 0 : m_rnd.between(2, 10);
            const QString balcony = k.residential ? m_rnd.flag(65) : QString();
            const QString terrace =
                k.residential ? m_rnd.flag(QLatin1String(k.type) == QLatin1String("ATTICO") ? 95 : 20) : QString();
            const QString cellar = k.residential ? m_rnd.flag(55) : QString();
            const QString lift = k.residential || k.commercial ? m_rnd.flag(60) : QString();
            const QString aircon = k.residential || k.commercial ? m_rnd.flag(40) : QString();
            QString garden;
            double gardenMq = 0;
            if (k.residential) {
                const bool house = QLatin1String(k.type).startsWith(QLatin1String("VILL"));
                garden = house ? QStringLiteral("privato")
                               : QString::fromUtf8(m_rnd.pick({"", "nessuno", "nessuno", "comune", "privato"}));
                if (garden == QLatin1String("privato"))
                    gardenMq = m_rnd.between(house ? 150 : 30, house ? 900 : 120);
            }
            QString box;
            double boxMq = 0;
            if (k.residential) {
                box = QString::fromUtf8(m_rnd.pick({"", "nessuno", "nessuno", "singolo", "doppio", "posto auto"}));
                if (box == QLatin1String("singolo"))
                    boxMq = m_rnd.between(13, 18);
                else if (box == QLatin1String("doppio"))
                    boxMq = m_rnd.between(26, 35);
            }
            const QString condition = QString::fromUtf8(m_rnd.pick(conditions));
            const bool inactive = m_rnd.chance(7);
            QString locality = QString::fromUtf8(pl.localities[m_rnd.index(3)]);
            if (m_rnd.chance(40))
                locality.clear();
            l.description = listingDescription(l, k, floor, balcony, cellar, lift, garden, condition);
            m_listings << l;

            const QDateTime inserted = daysAgo(m_rnd.between(5, 360), m_rnd.between(9, 18), m_rnd.between(0, 59));
            const QDateTime updated = inserted.addDays(m_rnd.between(0, int(inserted.daysTo(m_today.startOfDay()))));
            const QString category = k.commercial ? QStringLiteral("commerciale") : QStringLiteral("residenziale");
            auto number = [](double v) { return v == 0 ? QVariant() : QVariant(v); };

            q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), l.id);
            q.setParam(QStringLiteral("ID_CLIENTE"), l.owner);
            q.setParam(QStringLiteral("ID_COMUNE"), m_placeIds.at(l.place));
            q.setParam(QStringLiteral("ID_TIPOLOGIA_IMMOBILE"), l.type);
            q.setParam(QStringLiteral("ID_TIPOLOGIA_ANNUNCIO"), l.kindId);
            q.setParam(QStringLiteral("RIFERIMENTO"), l.reference);
            q.setParam(QStringLiteral("PREZZO"), l.price);
            q.setParam(QStringLiteral("NOTE_PREZZO"), l.price == 0    ? QVariant(QStringLiteral("trattativa riservata"))
                                                      : l.kindId == 2 ? QVariant(QStringLiteral("al mese"))
                                                      : m_rnd.chance(20) ? QVariant(QStringLiteral("trattabili"))
                                                                         : QVariant());
            q.setParam(QStringLiteral("PREZZO_VISIBILE"), sn(l.price != 0));
            q.setParam(QStringLiteral("MQ"), l.mq);
            q.setParam(QStringLiteral("NR_LOCALI"), number(l.rooms));
            q.setParam(QStringLiteral("NR_SERVIZI"), k.residential || k.commercial
                                                         ? QVariant(double(l.rooms >= 4 ? m_rnd.between(2, 3) : 1))
                                                         : QVariant());
            q.setParam(QStringLiteral("LOCALITA"), locality);
            q.setParam(QStringLiteral("INDIRIZZO"), QString::fromUtf8(m_rnd.pick(streets)));
            q.setParam(QStringLiteral("NUM_CIVICO"), QString::number(m_rnd.between(1, 150)));
            q.setParam(QStringLiteral("DESCRIZIONE"), l.description);
            q.setParam(QStringLiteral("DATA_INSERIMENTO"), inserted);
            q.setParam(QStringLiteral("DATA_AGGIORNAMENTO"), updated);
            q.setParam(QStringLiteral("PRIORITA"), m_rnd.chance(60) ? 3 : m_rnd.between(0, 5));
            q.setParam(QStringLiteral("MAPPA"), sn(m_rnd.chance(50)));
            q.setParam(QStringLiteral("NCOSTRUZIONESN"), sn(condition == QLatin1String("nuovo")));
            q.setParam(QStringLiteral("NR_CAMERE"),
                       k.residential && l.rooms >= 2 ? QVariant(int(l.rooms) - 1) : QVariant());
            q.setParam(QStringLiteral("BOX_AUTO"), box);
            q.setParam(QStringLiteral("MQ_BOX"), number(boxMq));
            q.setParam(QStringLiteral("BALCONE"), balcony);
            q.setParam(QStringLiteral("TERRAZZO"), terrace);
            q.setParam(QStringLiteral("MANSARDA"),
                       k.residential ? sn(QLatin1String(k.type) == QLatin1String("MANSARDA")) : QString());
            q.setParam(QStringLiteral("CANTINA"), cellar);
            q.setParam(QStringLiteral("GIARDINO"), garden);
            q.setParam(QStringLiteral("MQ_GIARDINO"), number(gardenMq));
            q.setParam(QStringLiteral("PIANO"), floor);
            q.setParam(QStringLiteral("TOTALE_PIANI"), buildingFloors == 0 ? QVariant() : QVariant(buildingFloors));
            q.setParam(QStringLiteral("SPESE_COND_MENSILI"),
                       k.residential || k.commercial ? QVariant(double(m_rnd.between(4, 30) * 10)) : QVariant());
            q.setParam(QStringLiteral("CONDIZIONI"), condition);
            q.setParam(QStringLiteral("ASCENSORE"), lift);
            q.setParam(QStringLiteral("CONDIZIONATORE"), aircon);
            q.setParam(QStringLiteral("CUCINA"), k.residential ? QString::fromUtf8(m_rnd.pick(kitchens)) : QString());
            q.setParam(QStringLiteral("RISCALDAMENTO"),
                       k.residential || k.commercial ? QString::fromUtf8(m_rnd.pick(heatings)) : QString());
            q.setParam(QStringLiteral("INDIRIZZO_VISIBILE"), sn(m_rnd.chance(30)));
            q.setParam(QStringLiteral("DISPONIBILITA"), QString::fromUtf8(m_rnd.pick(availabilities)));
            q.setParam(QStringLiteral("DESCRIZIONE_VETRINA"),
                       QStringLiteral("%1 - %2 - %3 mq")
                           .arg(QString::fromUtf8(k.type), QString::fromUtf8(pl.name))
                           .arg(int(l.mq)));
            q.setParam(QStringLiteral("CAP_ANNUNCIO"), QString::fromUtf8(pl.cap));
            q.setParam(QStringLiteral("COORD_LONG"), qRound((pl.lon + m_rnd.between(-600, 600) / 100000.0) * 1000000));
            q.setParam(QStringLiteral("COORD_LAT"), qRound((pl.lat + m_rnd.between(-400, 400) / 100000.0) * 1000000));
            q.setParam(QStringLiteral("ELIMINATO"), sn(inactive));
            q.setParam(QStringLiteral("LUOGO_X_APPUNTAMENTO"),
                       m_rnd.chance(50) ? QStringLiteral("In agenzia") : QStringLiteral("Davanti all'ingresso"));
            q.setParam(QStringLiteral("SOGGIORNO"), k.residential && l.rooms >= 2 ? QStringLiteral("S") : QString());
            q.setParam(QStringLiteral("ARREDATO"), k.residential ? m_rnd.flag(l.kindId == 2 ? 70 : 10) : QString());
            q.setParam(QStringLiteral("NR_CAMERE_DOPPIE"),
                       k.residential && l.rooms >= 2 ? QVariant(l.rooms >= 4 ? 2 : 1) : QVariant());
            q.setParam(QStringLiteral("NR_SERVIZI_FINESTR"), k.residential ? QVariant(1) : QVariant());
            q.setParam(QStringLiteral("CATEGORIA_ANNUNCIO"), category);
            q.exec();

            writePhotos(photo, l);
        }
    }

    void writePhotos(Query &photo, const Listing &l)
    {
        const QString folder = QDir::cleanPath(m_photoFolder) + QLatin1Char('/') +
                               QString::number(l.id).rightJustified(8, QLatin1Char('0')) + QLatin1Char('/');
        if (!QDir(folder).exists()) {
            if (!QDir().mkpath(folder))
                throw DbError(QStringLiteral("Impossibile creare la cartella delle foto %1")
                                  .arg(QDir::toNativeSeparators(folder)));
            m_dirs.prepend(folder);
        }
        const int n = m_rnd.between(1, 3);
        const char *const captions[] = {"Esterno", "Vista dell'edificio", "Planimetria"};
        for (int i = 0; i < n; ++i) {
            const bool plan = i == 2;
            const QString caption =
                QStringLiteral("Rif. %1 - %2").arg(l.reference, QString::fromUtf8(kinds[l.kind].type));
            const QImage img = plan ? floorPlan(m_rnd, caption) : housePicture(m_rnd, caption);
            const QString path = QDir::toNativeSeparators(folder + QStringLiteral("foto%1.jpg").arg(i + 1));
            if (path.size() > 255)
                throw DbError(QStringLiteral("Percorso delle foto troppo lungo: %1").arg(path));
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) || !img.save(&file, "JPG", 85) || !file.commit())
                throw DbError(QStringLiteral("Impossibile scrivere la foto %1").arg(path));
            m_files << path;
            photo.setParam(QStringLiteral("ID_PHOTOGALLERY"), nextId(m_tr, "GEN_PHOTOGALLERY_ID"));
            photo.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), l.id);
            photo.setParam(QStringLiteral("PATH_IMAGE"), path);
            photo.setParam(QStringLiteral("DIDASCALIA"), QString::fromUtf8(captions[i]));
            photo.setParam(QStringLiteral("PESO_KB"), QFileInfo(path).size());
            photo.setParam(QStringLiteral("HEIGHT_PX"), img.height());
            photo.setParam(QStringLiteral("WIDTH_PX"), img.width());
            photo.setParam(QStringLiteral("PLANIMETRIA"), sn(plan));
            photo.setParam(QStringLiteral("PRINCIPALE"), sn(i == 0));
            photo.exec();
        }
    }

    void writeRequests()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"),
            QStringLiteral(
                "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,NR_CAMERE_MAX,BOX_AUTO,"),
            QStringLiteral(
                "BALCONE,TERRAZZO,CANTINA,GIARDINO,SPAZIO_APERTO,ASCENSORE,CONDIZIONATORE,CONDIZIONI,FONTE,"),
            QStringLiteral("LOCALITA,NOTE,DATA_ULT_MODIFICA)"),
            QStringLiteral("values (:ID_RICHIESTA,:ID_CLIENTE,:PREZZO_MIN,:PREZZO_MAX,:MQ_MIN,:MQ_MAX,"),
            QStringLiteral(
                ":NR_LOCALI_MIN,:NR_LOCALI_MAX,:NR_SERVIZI_MIN,:NR_SERVIZI_MAX,:NR_CAMERE_MIN,:NR_CAMERE_MAX,"),
            QStringLiteral(
                ":BOX_AUTO,:BALCONE,:TERRAZZO,:CANTINA,:GIARDINO,:SPAZIO_APERTO,:ASCENSORE,:CONDIZIONATORE,"),
            QStringLiteral(":CONDIZIONI,:FONTE,:LOCALITA,:NOTE,:DATA_ULT_MODIFICA)"),
        });
        Query comune(m_tr, QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (:R,:C)"));
        Query tipo(m_tr,
                   QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (:R,:T)"));
        Query kind(m_tr,
                   QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (:R,:K)"));

        for (int i = 0; i < 80; ++i) {
            const qint64 id = nextId(m_tr, "GEN_RICHIESTE_ID");
            // Most requests are modelled on a listing, so the agency has matches to show.
            const bool modelled = i % 5 != 4;
            const Listing &model = m_listings.at(m_rnd.index(m_listings.size()));
            int clientIndex;
            do {
                clientIndex = m_rnd.index(m_clients.size());
            } while (m_clients.at(clientIndex).id == model.owner);
            const Client &client = m_clients.at(clientIndex);

            QVector<int> placeList;
            QVector<int> typeList;
            int kindId;
            if (modelled) {
                placeList << model.place;
                typeList << model.kind;
                kindId = model.kindId;
            } else {
                placeList << m_rnd.index(placeCount);
                typeList << m_rnd.index(kindCount);
                kindId = m_rnd.chance(70) ? 1 : 2;
            }
            for (int extra = m_rnd.between(0, 2); extra > 0; --extra) {
                const int p = m_rnd.index(placeCount);
                if (!placeList.contains(p))
                    placeList << p;
            }
            if (m_rnd.chance(40)) {
                const int t = m_rnd.index(kindCount);
                if (!typeList.contains(t))
                    typeList << t;
            }

            double priceMax = 0, priceMin = 0, mqMin = 0;
            int roomsMin = 0;
            if (m_rnd.chance(80)) {
                const double base = modelled && model.price > 0 ? model.price : (kindId == 1 ? 250000 : 1000);
                const double step = kindId == 1 ? 10000 : 50;
                priceMax = std::ceil(base * (100 + m_rnd.between(0, 25)) / 100.0 / step) * step;
                if (m_rnd.chance(25))
                    priceMin = std::floor(base * 0.6 / step) * step;
            }
            if (m_rnd.chance(35))
                mqMin = modelled && model.mq > 20 ? std::floor(model.mq * 0.9) : 50;
            if (m_rnd.chance(30))
                roomsMin = modelled && model.rooms >= 1 ? int(model.rooms) : 2;

            q.setParam(QStringLiteral("ID_RICHIESTA"), id);
            q.setParam(QStringLiteral("ID_CLIENTE"), client.id);
            q.setParam(QStringLiteral("PREZZO_MIN"), priceMin);
            q.setParam(QStringLiteral("PREZZO_MAX"), priceMax);
            q.setParam(QStringLiteral("MQ_MIN"), mqMin);
            q.setParam(QStringLiteral("MQ_MAX"), 0.0);
            q.setParam(QStringLiteral("NR_LOCALI_MIN"), roomsMin);
            q.setParam(QStringLiteral("NR_LOCALI_MAX"), 0);
            q.setParam(QStringLiteral("NR_SERVIZI_MIN"), 0);
            q.setParam(QStringLiteral("NR_SERVIZI_MAX"), 0);
            q.setParam(QStringLiteral("NR_CAMERE_MIN"), 0);
            q.setParam(QStringLiteral("NR_CAMERE_MAX"), 0);
            q.setParam(QStringLiteral("BOX_AUTO"),
                       m_rnd.chance(75) ? QString()
                                        : QString::fromUtf8(m_rnd.pick({"box singolo", "box doppio", "posto auto"})));
            const bool openSpace = m_rnd.chance(10);
            q.setParam(QStringLiteral("BALCONE"), sn(m_rnd.chance(20)));
            q.setParam(QStringLiteral("TERRAZZO"), sn(!openSpace && m_rnd.chance(10)));
            q.setParam(QStringLiteral("CANTINA"), sn(m_rnd.chance(15)));
            q.setParam(QStringLiteral("GIARDINO"), sn(!openSpace && m_rnd.chance(8)));
            q.setParam(QStringLiteral("SPAZIO_APERTO"), sn(openSpace));
            q.setParam(QStringLiteral("ASCENSORE"), sn(m_rnd.chance(20)));
            q.setParam(QStringLiteral("CONDIZIONATORE"), sn(m_rnd.chance(10)));
            q.setParam(QStringLiteral("CONDIZIONI"), QString());
            q.setParam(QStringLiteral("FONTE"), QString::fromUtf8(m_rnd.pick(sources)));
            q.setParam(QStringLiteral("LOCALITA"), QString());
            q.setParam(QStringLiteral("NOTE"),
                       m_rnd.chance(20) ? QVariant(QStringLiteral("Disponibile per visite il sabato mattina."))
                                        : QVariant());
            q.setParam(QStringLiteral("DATA_ULT_MODIFICA"), daysAgo(m_rnd.between(0, 120), m_rnd.between(9, 18), 0));
            q.exec();

            for (int p : std::as_const(placeList)) {
                comune.setParam(QStringLiteral("R"), id);
                comune.setParam(QStringLiteral("C"), m_placeIds.at(p));
                comune.exec();
            }
            for (int t : std::as_const(typeList)) {
                tipo.setParam(QStringLiteral("R"), id);
                tipo.setParam(QStringLiteral("T"), m_typeIds.at(t));
                tipo.exec();
            }
            kind.setParam(QStringLiteral("R"), id);
            kind.setParam(QStringLiteral("K"), kindId);
            kind.exec();
            if (kindId == 2 && m_rnd.chance(15)) { // also a sale would do
                kind.setParam(QStringLiteral("K"), 1);
                kind.exec();
            }
            m_requests << Request{id, clientIndex, modelled ? int(&model - m_listings.constData()) : -1};
        }
    }

    void writeSends()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,TIPO,EMAIL,OGGETTO,"),
            QStringLiteral("CORPO,PREZZO)"),
            QStringLiteral(
                "values (:ID_ANNUNCIO_IMMOBILE,:ID_RICHIESTA,:DATA_ORA,:TIPO,:EMAIL,:OGGETTO,:CORPO,:PREZZO)"),
        });
        int sent = 0;
        for (const Request &r : std::as_const(m_requests)) {
            if (sent >= 12)
                break;
            if (r.model < 0 || !m_rnd.chance(30))
                continue;
            const Client &c = m_clients.at(r.client);
            const Listing &l = m_listings.at(r.model);
            const bool email = !c.email.isEmpty();
            if (!email && c.smsPhone.isEmpty())
                continue;
            q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), l.id);
            q.setParam(QStringLiteral("ID_RICHIESTA"), r.id);
            q.setParam(QStringLiteral("DATA_ORA"),
                       daysAgo(m_rnd.between(1, 40), m_rnd.between(9, 18), m_rnd.between(0, 59)));
            q.setParam(QStringLiteral("TIPO"), email ? QStringLiteral("E") : QStringLiteral("S"));
            q.setParam(QStringLiteral("EMAIL"), email ? c.email : c.smsPhone);
            q.setParam(QStringLiteral("OGGETTO"), email ? QStringLiteral("Una proposta per Lei da Immobiliare Demo")
                                                        : QStringLiteral("Invio via SMS"));
            q.setParam(
                QStringLiteral("CORPO"),
                email ? QStringLiteral("Gentile %1,\r\nin base alla Sua richiesta Le proponiamo l'immobile descritto "
                                       "qui sotto.\r\n\r\nRiferimento: %2\r\n\r\n%3\r\n")
                            .arg(c.name, l.reference, l.description)
                      : QStringLiteral("Immobiliare Demo: %1, abbiamo un immobile adatto a Lei. Ci chiami!\r\n"
                                       "Rif.: %2\r\n")
                            .arg(c.name, l.reference));
            q.setParam(QStringLiteral("PREZZO"), l.price);
            q.exec();
            ++sent;
        }
    }

    void writeMagazines()
    {
        Query magazine(m_tr);
        magazine.setSql(QStringList{
            QStringLiteral("insert into RIVISTE (ID,DESCRIZIONE,EMAIL,TELEFONO,FAX,REFERENTE,N_ANNUNCI,PERIODICITA,"),
            QStringLiteral(
                "DATA_ULT_INVIO,NOTE) values (:ID,:DESCRIZIONE,:EMAIL,:TELEFONO,:FAX,:REFERENTE,:N_ANNUNCI,"),
            QStringLiteral(":PERIODICITA,:DATA_ULT_INVIO,:NOTE)"),
        });
        Query queue(m_tr, QStringLiteral("insert into INVII_RIVISTA (ID,ID_RIVISTA,ID_ANNUNCIO_IMMOBILE,FOTO) "
                                         "values (:ID,:ID_RIVISTA,:ID_ANNUNCIO_IMMOBILE,:FOTO)"));
        struct M
        {
            const char *name, *email, *phone, *contact;
            int listings, period;
        };
        const M magazines[] = {
            {"CASA BRIANZA", "annunci@casabrianza.example", "039 5550101", "Laura Fontana", 10, 14},
            {"IL MERCATO DELLA CASA", "redazione@mercatocasa.example", "02 5550202", "Paolo Greco", 6, 7},
        };
        for (const M &m : magazines) {
            const qint64 id = nextId(m_tr, "GEN_RIVISTE_ID");
            magazine.setParam(QStringLiteral("ID"), id);
            magazine.setParam(QStringLiteral("DESCRIZIONE"), QString::fromUtf8(m.name));
            magazine.setParam(QStringLiteral("EMAIL"), QString::fromUtf8(m.email));
            magazine.setParam(QStringLiteral("TELEFONO"), QString::fromUtf8(m.phone));
            magazine.setParam(QStringLiteral("FAX"), QVariant());
            magazine.setParam(QStringLiteral("REFERENTE"), QString::fromUtf8(m.contact));
            magazine.setParam(QStringLiteral("N_ANNUNCI"), m.listings);
            magazine.setParam(QStringLiteral("PERIODICITA"), m.period);
            magazine.setParam(QStringLiteral("DATA_ULT_INVIO"), daysAgo(m_rnd.between(1, m.period), 10, 0));
            magazine.setParam(QStringLiteral("NOTE"), QVariant());
            magazine.exec();
            QSet<int> chosen;
            while (chosen.size() < m.listings / 2)
                chosen.insert(m_rnd.index(m_listings.size()));
            QList<int> ordered(chosen.begin(), chosen.end());
            std::sort(ordered.begin(), ordered.end());
            for (int index : std::as_const(ordered)) {
                queue.setParam(QStringLiteral("ID"), nextId(m_tr, "GEN_INVII_RIVISTA_ID"));
                queue.setParam(QStringLiteral("ID_RIVISTA"), id);
                queue.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), m_listings.at(index).id);
                queue.setParam(QStringLiteral("FOTO"), sn(m_rnd.chance(70)));
                queue.exec();
            }
        }
    }

    void writeAppointments()
    {
        Query q(m_tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into APPUNTAMENTI (AVVISO,DESCRIZIONE,FINE,ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,"),
            QStringLiteral(
                "MINUTI_AVVISO) values (:AVVISO,:DESCRIZIONE,:FINE,:ID,:ID_ANNUNCIO_IMMOBILE,:ID_RICHIESTA,"),
            QStringLiteral(":INIZIO,:MINUTI_AVVISO)"),
        });
        // Ids unique also when the agency is added twice: they carry the first listing's key.
        const QString prefix = QStringLiteral("DEMO-%1-").arg(m_listings.first().id);
        const char *const meetings[] = {"Firma preliminare presso il notaio", "Riunione con il geometra",
                                        "Valutazione immobile per nuovo incarico"};
        for (int i = 0; i < 16; ++i) {
            const int day = m_rnd.between(-3, 7);
            const QDateTime start(m_today.addDays(day), QTime(m_rnd.between(9, 18), m_rnd.chance(50) ? 0 : 30));
            const QDateTime end = start.addSecs(60 * (m_rnd.chance(50) ? 30 : 60));
            QVariant listingId, requestId;
            QString description;
            if (i % 4 != 3) {
                const Request &r = m_requests.at(m_rnd.index(m_requests.size()));
                const Listing &l = m_listings.at(r.model >= 0 ? r.model : m_rnd.index(m_listings.size()));
                listingId = l.id;
                description =
                    QStringLiteral("Visita %1 rif. %2").arg(QString::fromUtf8(kinds[l.kind].type), l.reference);
                if (i % 4 != 2) {
                    requestId = r.id;
                    description += QStringLiteral(" con %1").arg(m_clients.at(r.client).name);
                }
            } else {
                description = QString::fromUtf8(m_rnd.pick(meetings));
            }
            const bool alarm = m_rnd.chance(60);
            q.setParam(QStringLiteral("ID"), prefix + QString::number(i + 1));
            q.setParam(QStringLiteral("AVVISO"), alarm ? 1 : 0);
            q.setParam(QStringLiteral("MINUTI_AVVISO"), alarm ? (m_rnd.chance(50) ? 15 : 30) : 0);
            q.setParam(QStringLiteral("DESCRIZIONE"), description);
            q.setParam(QStringLiteral("INIZIO"), start);
            q.setParam(QStringLiteral("FINE"), end);
            q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), listingId);
            q.setParam(QStringLiteral("ID_RICHIESTA"), requestId);
            q.exec();
        }
    }

    struct Request
    {
        qint64 id;
        int client; // index in m_clients
        int model;  // index in m_listings of the listing it was modelled on, -1 none
    };

    Transaction m_tr;
    Random m_rnd;
    QString m_photoFolder;
    QDate m_today;
    QVector<int> m_typeIds;  // by index in kinds
    QVector<int> m_placeIds; // by index in places
    QVector<Client> m_clients;
    QVector<int> m_owners; // indexes in m_clients
    QVector<Listing> m_listings;
    QVector<Request> m_requests;
    QStringList m_files;
    QStringList m_dirs;
};

} // namespace

void addDemoAgency(Database &db, const QString &photoFolder, quint32 seed)
{
    DemoBuilder(db, photoFolder, seed).run();
}

} // namespace tavo::db
