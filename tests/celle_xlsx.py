#!/usr/bin/python3
# Reads an XLSX file with openpyxl, independently of the program that wrote
# it, and prints what the tests check: the number of worksheets, then one
# line per cell that holds a value or a fill, tab-separated:
#   coordinate, kind (int, float, date, str, blank), value, bold (0/1),
#   fill colour (RRGGBB or -), number format
# and the column widths as "col LETTER WIDTH".
import datetime
import sys

import openpyxl

libro = openpyxl.load_workbook(sys.argv[1])
print("fogli", len(libro.worksheets))
foglio = libro.worksheets[0]
for riga in foglio.iter_rows():
    for c in riga:
        riempita = c.fill is not None and c.fill.fill_type == "solid"
        if c.value is None and not riempita:
            continue
        v = c.value
        if v is None:
            tipo, testo = "blank", ""
        elif isinstance(v, bool):
            tipo, testo = "bool", str(v)
        elif isinstance(v, int):
            tipo, testo = "int", str(v)
        elif isinstance(v, float):
            tipo, testo = "float", repr(v)
        elif isinstance(v, (datetime.datetime, datetime.date)):
            tipo, testo = "date", v.strftime("%Y-%m-%d")
        else:
            tipo, testo = "str", str(v).replace("\n", "\\n")
        colore = c.fill.fgColor.rgb[-6:] if riempita else "-"
        print("\t".join([c.coordinate, tipo, testo, "1" if c.font.b else "0", colore, c.number_format]))
for lettera, dimensione in sorted(foglio.column_dimensions.items()):
    if dimensione.width:
        print("col", lettera, round(dimensione.width, 2))
