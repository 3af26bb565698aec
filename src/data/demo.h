#pragma once
// A sample agency for trying the program: the options row of "Immobiliare Demo", about sixty
// clients, 120 listings with generated photos in the provinces of Milano and Monza e della
// Brianza, 80 requests with their municipalities, types and kinds, a few sends, two magazines
// with their queue and the appointments of the days around today.
//
// Everything is drawn from a pseudo-random sequence started from seed, so a seed always gives
// the same agency; only the dates follow the day it runs on (appointments fall around today).
// Keys come from the generators, so the agency can be added to a database already in use.
// Photos are JPEG files written under photoFolder, one folder per listing named after its id
// with eight digits ("00000012/"), as the photo editor does.
//
// Runs on a transaction of its own and commits at the end. Throws DbError on a database failure
// or when a photo cannot be written; then nothing is committed and the photo files written so
// far are removed. Text on the photos needs a QGuiApplication; without one the pictures carry
// no text.

#include <QString>
#include <QtGlobal>

namespace tavo::db {

class Database;

void addDemoAgency(Database &db, const QString &photoFolder, quint32 seed = 1);

} // namespace tavo::db
