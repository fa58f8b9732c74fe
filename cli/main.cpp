#include "NimboQuery.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    cli::atenderSenales();
    QTextStream entrada(stdin), salida(stdout), err(stderr);
    return cli::ejecutar(QCoreApplication::arguments(), entrada, salida, err);
}
