// A loadable library with no registration entry at all.
#include <QtCore/qglobal.h>

extern "C" Q_DECL_EXPORT int VersaoComponente()
{
    return 1;
}
