#include "incroci.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace tavo::incroci {

// ---- Helpers ----------------------------------------------------------------------------------------------------

QString trimmed(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start).unicode() <= 0x20)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 0x20)
        --end;
    if (start == 0 && end == text.size())
        return text;
    return text.mid(start, end - start);
}

QString chiaveConfronto(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return end == text.size() ? text : text.left(end);
}

int arrotondaPari(double value)
{
    const double r = std::nearbyint(value); // the default rounding mode: to nearest, ties to even
    if (!(r >= double(INT_MIN)))
        return INT_MIN;
    if (r > double(INT_MAX))
        return INT_MAX;
    return int(r);
}

bool dataZero(const QDateTime &value)
{
    return value.isValid() && value.date() == QDate(1899, 12, 30) && value.time() == QTime(0, 0);
}

int Dizionario::aggiungi(const TestoN &text)
{
    if (!text)
        return Nullo;
    const QString key = chiaveConfronto(*text);
    auto it = m_codici.constFind(key);
    if (it != m_codici.constEnd())
        return it.value();
    const int code = int(m_codici.size());
    m_codici.insert(key, code);
    return code;
}

int Dizionario::cerca(const QString &text) const { return m_codici.value(chiaveConfronto(text), Assente); }

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

size_t hashTerna(int a, int b, int c)
{
    quint64 h = quint64(quint32(a)) * 0x9E3779B97F4A7C15ull;
    h ^= quint64(quint32(b)) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= quint64(quint32(c)) + 0x85EBCA77C2B2AE63ull + (h << 6) + (h >> 2);
    return size_t(h ^ (h >> 29));
}

QVector<int> distinti(QVector<int> v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

const QString &testo(const TestoN &t)
{
    static const QString vuoto = QStringLiteral("");
    return t ? *t : vuoto;
}

bool uguale(const TestoN &t, const char *latin1) { return t && *t == QLatin1String(latin1); }

} // namespace

// ---- request -> listings ----------------------------------------------------------------------------------------

size_t IndiceAnnunci::HashChiave::operator()(const Chiave &k) const
{
    return hashTerna(k.comune, k.tipoImmobile, k.tipoAnnuncio);
}

IndiceAnnunci::IndiceAnnunci(const std::vector<ValoriAnnuncio> &annunci)
{
    struct Posto
    {
        Annuncio a;
        Chiave k;
    };
    std::vector<Posto> tutti;
    tutti.reserve(annunci.size());
    for (const ValoriAnnuncio &v : annunci) {
        Annuncio a;
        a.id = v.idAnnuncio;
        a.prezzo = v.prezzo.value_or(Nan);
        a.mq = v.mq.value_or(Nan);
        a.nrLocali = v.nrLocali.value_or(Nan);
        a.nrServizi = v.nrServizi.value_or(Nan);
        a.nrCamere = v.nrCamere ? double(*v.nrCamere) : Nan;
        a.localita = m_diz.aggiungi(v.localita);
        a.boxAuto = m_diz.aggiungi(v.boxAuto);
        a.balcone = m_diz.aggiungi(v.balcone);
        a.terrazzo = m_diz.aggiungi(v.terrazzo);
        a.cantina = m_diz.aggiungi(v.cantina);
        a.giardino = m_diz.aggiungi(v.giardino);
        a.condizioni = m_diz.aggiungi(v.condizioni);
        a.ascensore = m_diz.aggiungi(v.ascensore);
        a.condizionatore = m_diz.aggiungi(v.condizionatore);
        a.eliminatoN = v.eliminato && chiaveConfronto(*v.eliminato) == QLatin1String("N");
        tutti.push_back({a, {v.idComune, v.idTipologiaImmobile, v.idTipologiaAnnuncio}});
    }
    // "order by PREZZO": NULL first (Firebird's ascending order), ties by listing id.
    std::sort(tutti.begin(), tutti.end(), [](const Posto &x, const Posto &y) {
        const bool nx = std::isnan(x.a.prezzo), ny = std::isnan(y.a.prezzo);
        if (nx != ny)
            return nx;
        if (!nx && x.a.prezzo != y.a.prezzo)
            return x.a.prezzo < y.a.prezzo;
        return x.a.id < y.a.id;
    });
    m_annunci.reserve(tutti.size());
    for (size_t i = 0; i < tutti.size(); ++i) {
        m_annunci.push_back(tutti[i].a);
        m_gruppi[tutti[i].k].push_back(int(i));
    }
}

QVector<int> IndiceAnnunci::cerca(const ValoriRichiesta &r) const
{
    // The lines the request adds, read from its values as the program reads them (NULL -> 0 / '').
    const double prezzoMin = r.prezzoMin.value_or(0), prezzoMax = r.prezzoMax.value_or(0);
    const double mqMin = r.mqMin.value_or(0), mqMax = r.mqMax.value_or(0);
    // Integer parameters, compared as doubles with the DOUBLE columns (and exactly with NR_CAMERE).
    const double localiMin = r.nrLocaliMin.value_or(0), localiMax = r.nrLocaliMax.value_or(0);
    const double serviziMin = r.nrServiziMin.value_or(0), serviziMax = r.nrServiziMax.value_or(0);
    const double camereMin = r.nrCamereMin.value_or(0), camereMax = r.nrCamereMax.value_or(0);
    const QString localitaParam = trimmed(testo(r.localita));
    const bool conLocalita = !localitaParam.isEmpty();
    const int localita = conLocalita ? m_diz.cerca(localitaParam) : Dizionario::Assente;
    enum { NessunBox, BoxSingolo, BoxDoppio, PostoAuto } box = NessunBox;
    if (uguale(r.boxAuto, "box singolo"))
        box = BoxSingolo;
    else if (uguale(r.boxAuto, "box doppio"))
        box = BoxDoppio;
    else if (uguale(r.boxAuto, "posto auto"))
        box = PostoAuto;
    const bool balcone = uguale(r.balcone, "S"), terrazzo = uguale(r.terrazzo, "S");
    const bool giardino = uguale(r.giardino, "S"), spazioAperto = uguale(r.spazioAperto, "S");
    const bool cantina = uguale(r.cantina, "S"), ascensore = uguale(r.ascensore, "S");
    const bool condizionatore = uguale(r.condizionatore, "S");
    const bool conCondizioni = r.condizioni && !r.condizioni->isEmpty();
    const int condizioni = conCondizioni ? m_diz.cerca(*r.condizioni) : Dizionario::Assente;

    const int cS = m_diz.cerca("S"), cVuoto = m_diz.cerca(""), cSingolo = m_diz.cerca("singolo"),
              cDoppio = m_diz.cerca("doppio"), cPostoAuto = m_diz.cerca("posto auto"),
              cPrivato = m_diz.cerca("privato"), cComune = m_diz.cerca("comune");
    constexpr int Nullo = Dizionario::Nullo;

    auto giardinoSi = [&](int g) { return g == cPrivato || g == cComune || g == cVuoto; };
    // "((X>=:MIN) or (X=0) or (X is null))": a NaN (NULL) is never below the bound.
    auto sopra = [](double x, double limite) { return x == 0 || !(x < limite); };
    auto sotto = [](double x, double limite) { return x == 0 || !(x > limite); };
    auto passa = [&](const Annuncio &a) {
        if (!a.eliminatoN)
            return false;
        if (prezzoMin != 0 && !sopra(a.prezzo, prezzoMin))
            return false;
        if (prezzoMax != 0 && !sotto(a.prezzo, prezzoMax))
            return false;
        if (mqMin != 0 && !sopra(a.mq, mqMin))
            return false;
        if (mqMax != 0 && !sotto(a.mq, mqMax))
            return false;
        if (localiMin != 0 && !sopra(a.nrLocali, localiMin))
            return false;
        if (localiMax != 0 && !sotto(a.nrLocali, localiMax))
            return false;
        if (serviziMin != 0 && !sopra(a.nrServizi, serviziMin))
            return false;
        if (serviziMax != 0 && !sotto(a.nrServizi, serviziMax))
            return false;
        if (camereMin != 0 && !sopra(a.nrCamere, camereMin))
            return false;
        if (camereMax != 0 && !sotto(a.nrCamere, camereMax))
            return false;
        if (conLocalita && !(a.localita == localita || a.localita == cVuoto || a.localita == Nullo))
            return false;
        switch (box) {
        case BoxSingolo:
            if (!(a.boxAuto == cSingolo || a.boxAuto == cVuoto))
                return false;
            break;
        case BoxDoppio:
            if (!(a.boxAuto == cDoppio || a.boxAuto == cVuoto))
                return false;
            break;
        case PostoAuto:
            if (!(a.boxAuto == cSingolo || a.boxAuto == cDoppio || a.boxAuto == cPostoAuto || a.boxAuto == cVuoto))
                return false;
            break;
        case NessunBox:
            break;
        }
        if (balcone && !(a.balcone == cS || a.balcone == Nullo))
            return false;
        if (terrazzo && !(a.terrazzo == cS || a.terrazzo == Nullo))
            return false;
        if (giardino && !giardinoSi(a.giardino))
            return false;
        if (spazioAperto && !(a.terrazzo == cS || a.terrazzo == Nullo || giardinoSi(a.giardino)))
            return false;
        if (cantina && !(a.cantina == cS || a.cantina == Nullo))
            return false;
        if (conCondizioni && !(a.condizioni == condizioni || a.condizioni == Nullo))
            return false;
        if (ascensore && !(a.ascensore == cS || a.ascensore == Nullo))
            return false;
        if (condizionatore && !(a.condizionatore == cS || a.condizionatore == Nullo))
            return false;
        return true;
    };

    const QVector<int> comuni = distinti(r.comuni), tipi = distinti(r.tipiImmobile), tipologie = distinti(r.tipiAnnuncio);
    std::vector<int> posti;
    int gruppiTrovati = 0;
    for (int c : comuni)
        for (int ti : tipi)
            for (int ta : tipologie) {
                auto it = m_gruppi.find(Chiave{c, ti, ta});
                if (it == m_gruppi.end())
                    continue;
                ++gruppiTrovati;
                for (int p : it->second)
                    if (passa(m_annunci[size_t(p)]))
                        posti.push_back(p);
            }
    if (gruppiTrovati > 1)
        std::sort(posti.begin(), posti.end()); // each group is already in price order
    QVector<int> ids;
    ids.reserve(qsizetype(posti.size()));
    for (int p : posti)
        ids.append(m_annunci[size_t(p)].id);
    return ids;
}

// ---- listing -> requests ----------------------------------------------------------------------------------------

size_t IndiceRichieste::HashChiave::operator()(const Chiave &k) const
{
    return hashTerna(k.comune, k.tipoImmobile, k.tipoAnnuncio);
}

IndiceRichieste::IndiceRichieste(const std::vector<ValoriRichiesta> &richieste)
{
    std::vector<const ValoriRichiesta *> ordinate;
    ordinate.reserve(richieste.size());
    for (const ValoriRichiesta &v : richieste)
        ordinate.push_back(&v);
    std::stable_sort(ordinate.begin(), ordinate.end(),
                     [](const ValoriRichiesta *a, const ValoriRichiesta *b) { return a->idRichiesta < b->idRichiesta; });
    m_richieste.reserve(ordinate.size());
    for (const ValoriRichiesta *v : ordinate) {
        Richiesta r;
        r.id = v->idRichiesta;
        auto reale = [](const RealeN &x) { return x.value_or(Nan); };
        auto intero = [](const InteroN &x) { return x ? double(*x) : Nan; };
        r.limiti[Richiesta::PrezzoMin] = reale(v->prezzoMin);
        r.limiti[Richiesta::PrezzoMax] = reale(v->prezzoMax);
        r.limiti[Richiesta::MqMin] = reale(v->mqMin);
        r.limiti[Richiesta::MqMax] = reale(v->mqMax);
        r.limiti[Richiesta::LocaliMin] = intero(v->nrLocaliMin);
        r.limiti[Richiesta::LocaliMax] = intero(v->nrLocaliMax);
        r.limiti[Richiesta::ServiziMin] = intero(v->nrServiziMin);
        r.limiti[Richiesta::ServiziMax] = intero(v->nrServiziMax);
        r.limiti[Richiesta::CamereMin] = intero(v->nrCamereMin);
        r.limiti[Richiesta::CamereMax] = intero(v->nrCamereMax);
        r.localita = m_diz.aggiungi(v->localita);
        r.boxAuto = m_diz.aggiungi(v->boxAuto);
        r.balcone = m_diz.aggiungi(v->balcone);
        r.terrazzo = m_diz.aggiungi(v->terrazzo);
        r.cantina = m_diz.aggiungi(v->cantina);
        r.giardino = m_diz.aggiungi(v->giardino);
        r.spazioAperto = m_diz.aggiungi(v->spazioAperto);
        r.ascensore = m_diz.aggiungi(v->ascensore);
        r.condizionatore = m_diz.aggiungi(v->condizionatore);
        r.condizioni = m_diz.aggiungi(v->condizioni);
        const int posto = int(m_richieste.size());
        m_richieste.push_back(r);
        // The inner conditions on the three joined link tables: one entry per combination.
        const QVector<int> comuni = distinti(v->comuni), tipi = distinti(v->tipiImmobile),
                           tipologie = distinti(v->tipiAnnuncio);
        for (int c : comuni)
            for (int ti : tipi)
                for (int ta : tipologie)
                    m_gruppi[Chiave{c, ti, ta}].push_back(posto);
    }
}

QVector<int> IndiceRichieste::cerca(const ValoriAnnuncio &a) const
{
    auto it = m_gruppi.find(Chiave{a.idComune, a.idTipologiaImmobile, a.idTipologiaAnnuncio});
    if (it == m_gruppi.end())
        return {};

    // The lines the listing adds, read from its values as the program reads them (NULL -> 0 / '').
    const double prezzo = a.prezzo.value_or(0), mq = a.mq.value_or(0);
    const double localiValore = a.nrLocali.value_or(0), serviziValore = a.nrServizi.value_or(0);
    const int locali = arrotondaPari(localiValore), servizi = arrotondaPari(serviziValore);
    const int camere = a.nrCamere.value_or(0);
    const QString localitaParam = trimmed(testo(a.localita));
    const bool conLocalita = !localitaParam.isEmpty();
    const int localita = conLocalita ? m_diz.cerca(localitaParam) : Dizionario::Assente;
    const QString &boxValore = testo(a.boxAuto);
    const bool conBox = !trimmed(boxValore).isEmpty() && boxValore != QLatin1String("nessuno");
    int box = Dizionario::Assente;
    if (conBox) {
        if (boxValore == QLatin1String("singolo"))
            box = m_diz.cerca("box singolo");
        else if (boxValore == QLatin1String("doppio"))
            box = m_diz.cerca("box doppio");
        else
            box = m_diz.cerca(boxValore);
    }
    enum Modo { Niente, Si, No };
    auto modo = [](const TestoN &t) { return uguale(t, "S") ? Si : uguale(t, "N") ? No : Niente; };
    const Modo balcone = modo(a.balcone), terrazzo = modo(a.terrazzo), cantina = modo(a.cantina),
               ascensore = modo(a.ascensore), condizionatore = modo(a.condizionatore);
    const QString giardinoRipulito = trimmed(testo(a.giardino));
    const Modo giardino = (!giardinoRipulito.isEmpty() && giardinoRipulito != QLatin1String("nessuno")) ? Si
                          : uguale(a.giardino, "nessuno")                                               ? No
                                                                                                        : Niente;
    const bool conCondizioni = !trimmed(testo(a.condizioni)).isEmpty();
    const int condizioni = conCondizioni ? m_diz.cerca(*a.condizioni) : Dizionario::Assente;

    const int cS = m_diz.cerca("S"), cN = m_diz.cerca("N"), cVuoto = m_diz.cerca("");

    // "((R.X_MIN<=:X) or (R.X_MIN=0))" and "((R.X_MAX>=:X) or (R.X_MAX=0))": a NaN (NULL) bound fails both.
    // Integer columns and parameters are compared exactly as doubles.
    auto entro = [](const double *limiti, int min, double x) {
        const double lo = limiti[min], hi = limiti[min + 1];
        return (lo <= x || lo == 0) && (hi >= x || hi == 0);
    };
    using R = Richiesta;
    auto sn = [&](int code) { return code == cS || code == cN; };
    auto passa = [&](const Richiesta &r) {
        if (prezzo != 0 && !entro(r.limiti, R::PrezzoMin, prezzo))
            return false;
        if (mq != 0 && !entro(r.limiti, R::MqMin, mq))
            return false;
        if (localiValore != 0 && !entro(r.limiti, R::LocaliMin, locali))
            return false;
        if (serviziValore != 0 && !entro(r.limiti, R::ServiziMin, servizi))
            return false;
        if (camere != 0 && !entro(r.limiti, R::CamereMin, camere))
            return false;
        if (conLocalita && !(r.localita == localita || r.localita == cVuoto))
            return false;
        if (conBox && !(r.boxAuto == box || r.boxAuto == cVuoto))
            return false;
        if ((balcone == Si && !sn(r.balcone)) || (balcone == No && r.balcone != cN))
            return false;
        if ((terrazzo == Si && !(sn(r.terrazzo) || sn(r.spazioAperto))) || (terrazzo == No && r.terrazzo != cN))
            return false;
        if ((cantina == Si && !sn(r.cantina)) || (cantina == No && r.cantina != cN))
            return false;
        if ((giardino == Si && !(sn(r.giardino) || sn(r.spazioAperto))) || (giardino == No && r.giardino != cN))
            return false;
        if (conCondizioni && !(r.condizioni == condizioni || r.condizioni == cVuoto))
            return false;
        if ((ascensore == Si && !sn(r.ascensore)) || (ascensore == No && r.ascensore != cN))
            return false;
        if ((condizionatore == Si && !sn(r.condizionatore)) || (condizionatore == No && r.condizionatore != cN))
            return false;
        return true;
    };

    QVector<int> ids;
    for (int p : it->second) {
        const Richiesta &r = m_richieste[size_t(p)];
        if (passa(r))
            ids.append(r.id);
    }
    return ids;
}

} // namespace tavo::incroci
