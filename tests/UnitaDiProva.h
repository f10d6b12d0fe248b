#pragma once
// A small supply for the cadastral search. Managing municipality G479. Units
// 1, 2, 3 in G479 (60, 41 and 80 m²; categories A02, C06, A02; outcomes
// "1", "3" and an unknown "9"); units 9 and 1 in H501, the latter sharing its
// number with a unit of G479. Identifiers: unit 1 12/345/6, unit 2 12/345/7,
// unit 3 section B 13/0345/6, Rome's unit 9 12/345/6. Owners: unit 1 ROSSI (7,
// listed twice) and BIANCHI (8), unit 2 ROSSI, unit 3 VERDI (9); Rome's unit 1
// ROMANI (51).

#include "Ambiente.h"

inline void unitaDiProva(Ambiente& amb)
{
    amb.codice(QStringLiteral("G479"));
    amb.sql(QStringLiteral(
        "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie, EsitoSup) VALUES "
        "('G479', '', 1, 1, 'A02', 60, '1'), ('G479', '', 2, 1, 'C06', 41, '3'), ('G479', '', 3, 1, 'A02', 80, '9'),"
        "('H501', '', 9, 1, 'A02', 500, '1'), ('H501', '', 1, 1, 'A02', 70, '1');"
        "INSERT INTO tUnImm2 (Codice, Sezione, Immobile, Progressivo, ProgrRec, SezUrbana, Foglio, Numero, Subalterno) VALUES "
        "('G479', '', 1, 1, 1, '', '12', '345', '6'), ('G479', '', 2, 1, 1, '', '12', '345', '7'),"
        "('G479', '', 3, 1, 1, 'B', '13', '0345', '6'), ('H501', '', 9, 1, 1, '', '12', '345', '6')"));
    const struct {
        const char* codice;
        int immobile, soggetto;
        const char *cognome, *nome, *codFisc;
    } proprietari[] = {{"G479", 1, 7, "ROSSI", "MARIO", "RSSMRA"},   {"G479", 1, 7, "ROSSI", "MARIO", "RSSMRA"},
                       {"G479", 1, 8, "BIANCHI", "ANNA", "BNCNNA"},  {"G479", 2, 7, "ROSSI", "MARIO", "RSSMRA"},
                       {"G479", 3, 9, "VERDI", "ADA", "VRDADA"},     {"H501", 1, 51, "ROMANI", "ADA", "RMNADA"}};
    for (const auto& p : proprietari)
        amb.soggetto(QString::fromLatin1(p.codice), p.immobile, p.soggetto, QString::fromLatin1(p.cognome),
                     QString::fromLatin1(p.nome), QString::fromLatin1(p.codFisc));
}
