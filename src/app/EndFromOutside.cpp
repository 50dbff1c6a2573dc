#include "app/EndFromOutside.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace clipforge {

namespace {

bool& ending()
{
    static bool marked = false;
    return marked;
}

}  // namespace

bool endingFromOutside()
{
    return ending();
}

void markEndingFromOutside()
{
    ending() = true;
}

void watchSessionEnd(QGuiApplication& application)
{
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [](QSessionManager&) { markEndingFromOutside(); });
}

}  // namespace clipforge
