#pragma once
// What the report tests share: the texts of a prepared page, and the
// comparison of a report's dump with its reference file in tests/golden/,
// rewritten with
//   SORVEL_RIGENERA=1 build/tests/test_report --gtest_filter='Golden*'

#include "Dump.h"
#include "ReportPreparato.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

// The texts of a page, in printing order.
inline QStringList testi(const ReportPreparato& r, int pagina)
{
    QStringList t;
    for (const Primitiva& x : r.pagine[size_t(pagina)].primitive)
        if (const auto* testo = std::get_if<TestoPreparato>(&x))
            t.append(testo->stampato());
    return t;
}

inline void confrontaConRiferimento(const QString& nome, const QString& dump)
{
    const QString file = QStringLiteral(SORVEL_GOLDEN) + QLatin1Char('/') + nome;
    if (qEnvironmentVariableIsSet("SORVEL_RIGENERA")) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
        f.write(dump.toUtf8());
        return;
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "manca " << file.toStdString();
    const QStringList atteso = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    const QStringList ottenuto = dump.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::max(atteso.size(), ottenuto.size()); ++i)
        ASSERT_EQ(ottenuto.value(i), atteso.value(i))
            << nome.toStdString() << ", riga " << i + 1
            << " (SORVEL_RIGENERA=1 build/tests/test_report --gtest_filter='Golden*' riscrive i riferimenti)";
}
