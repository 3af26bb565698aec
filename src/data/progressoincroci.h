#pragma once
// How the filling of a match table reports its progress: the data module has no widgets, the wait window
// (TFormAttesa) implements this interface. Header only, so that the widget library needs no link to the engine.
//
// Per filling: one inizio() once the row count is known, one avanza() per row, and fine() exactly once at the
// end, also when an error stops the filling. The object is created for one filling and destroyed after fine().
// avanza() may let the user interface process pending events; it may throw to stop the filling.

#include <QString>

namespace tavo {

class ProgressoIncroci
{
public:
    virtual ~ProgressoIncroci() = default;
    virtual void inizio(const QString &caption, const QString &testo, int massimo) = 0;
    virtual void avanza() = 0;
    virtual void fine() = 0;
};

} // namespace tavo
