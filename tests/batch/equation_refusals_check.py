#!/usr/bin/python3
"""Typed equations the engineer gets wrong, through calvero1-batch --equation:
each refused with its position or its reason in Italian, exit 1 (the fit
refused) or 2 (the command line), never a crash, nothing written.
Usage: equation_refusals_check.py BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile

batch = os.path.join(sys.argv[1], "calvero1-batch")
deep = "(" * 300 + "b1*x" + ")" * 300
many = "y = " + " + ".join(f"p{k}*x^{k % 5}" for k in range(1, 80))
long_text = "y = b1*x" + " + b1" * 2000

# (equation, further arguments, what the message says)
CASES = [
    ("y = b1*(1-exp(-b2*x)", [], "parentesi non chiusa alla posizione 8"),
    ("y = b1*x)", [], "parentesi chiusa senza una aperta alla posizione 9"),
    ("   ", [], "equazione vuota"),
    ("y =", [], "manca l'espressione a destra"),
    ("y = b1 + foo(x)", [], "funzione sconosciuta \"foo\" alla posizione 10"),
    ("y = exp*x", [], "\"exp\" è una funzione, non un parametro"),
    ("y = b1*log", [], "\"log\" è una funzione, non un parametro"),
    ("y = b1 * * x", [], "manca un valore alla posizione 10"),
    ("y = b1 +", [], "l'equazione finisce dove manca un valore"),
    ("y = b1 x", [], "manca un operatore prima della posizione 8"),
    ("y = b1 # x", [], "carattere non ammesso \"#\" alla posizione 8"),
    ("y = b1 \xe8 x", [], "carattere non ammesso \"\xe8\" alla posizione 8"),
    ("y = b1,x", [], "virgola non valida alla posizione 7"),
    ("y = 2*x", [], "nessun parametro da calcolare"),
    ("w = b1*x", [], "a sinistra di \"=\" va y"),
    ("y = b1*x = 3", [], "un solo \"=\" nell'equazione: posizione 10"),
    ("y = b1*y", [], "y è la variabile calcolata dall'equazione"),
    ("y = pow(b1)", [], "la funzione pow vuole due argomenti, ne ha 1"),
    ("y = exp(b1; x)", [], "la funzione exp vuole un argomento, ne ha 2"),
    ("y = b1; x", [], "separatore di argomenti fuori da una funzione alla posizione 7"),
    ("y = 1e999*b1*x", [], "numero troppo grande alla posizione 5"),
    ("y = b1*(x+)", [], "manca un valore prima della parentesi alla posizione 11"),
    ("y = b1*x^", [], "l'equazione finisce dove manca un valore"),
    ("y = " + deep, [], "troppe parentesi o operatori annidati"),
    (many, [], "troppi parametri"),
    (long_text, [], "equazione troppo lunga"),
    # Start values, fixed values and bounds that cannot be taken.
    ("y = b1*exp(b2*x)", ["--start", "b9=1"], "parametro sconosciuto \"b9\""),
    ("y = b1*exp(b2*x)", ["--start", "b1=abc"], "valore non valido per b1"),
    ("y = b1*exp(b2*x)", ["--bounds", "b1=1"], "MINIMO:MASSIMO"),
    ("y = b1*exp(b2*x)", ["--start", "b1=1,b1=2"], "b1 dato due volte"),
    # The equation without a value at the start: a division by a parameter
    # at zero, an overflow, a root of a negative number.
    ("y = b1/b2*x", ["--start", "b1=1,b2=0"], "non ha un valore finito al punto 1 con i valori iniziali"),
    ("y = b1*exp(b2*x)", ["--start", "b1=1,b2=1000"], "non ha un valore finito al punto 1 con i valori iniziali"),
    ("y = b1*sqrt(b2-x)", ["--start", "b1=1,b2=0"], "non ha un valore finito al punto 1 con i valori iniziali"),
    # More parameters than the points determine.
    ("y = b1 + b2*x + b3*x^2 + b4*x^3 + b5*x^4 + b6*x^5 + b7*x^6", [], "numero punti insufficiente per i 7"),
]

failures = 0
with tempfile.TemporaryDirectory() as work:
    points = os.path.join(work, "punti.txt")
    with open(points, "w") as f:
        f.write("1;2.1\n2;3.9\n3;8.2\n4;15.8\n5;33\n")
    before = sorted(os.listdir(work))
    for equation, more, expected in CASES:
        out = os.path.join(work, "esito.json")
        done = subprocess.run([batch, "--points", points, "--equation", equation, *more, "--json", out],
                              capture_output=True)
        message = done.stderr.decode("utf-8", "replace")
        good = done.returncode in (1, 2) and expected in message and not os.path.exists(out)
        if not good:
            failures += 1
            print(f"FAILED: {equation[:60]!r} {more}: exit {done.returncode}, {message.strip()[:300]!r}")
    if sorted(os.listdir(work)) != before:
        failures += 1
        print("FAILED: a refused fit left a file behind")
print(f"{len(CASES)} equations, {failures} failures")
sys.exit(1 if failures else 0)
