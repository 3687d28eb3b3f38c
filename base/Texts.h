// The texts a person reads are written in English and pass through Qt's
// translation. The window installs the translation of the language chosen; the
// batch mode installs none, so what it prints stays English for the scripts
// that read it. Core code writes Vistrel::tr("..."), widgets their own tr().
#pragma once

#include <QCoreApplication>

class Vistrel {
    Q_DECLARE_TR_FUNCTIONS(Vistrel)
};
