#!/usr/bin/python3
"""How often calvero1-batch --object recovers a nonlinear EnergyPlus object's
curve from 15 points made from coefficients drawn at random: noise-free
(recovered: the curve within 1e-7 of its largest value over its range) and with
noise of 1e-3 of the largest value (recovered: a sum of squares no larger than
the drawn coefficients'). Each outcome is recovered, cautioned (not recovered,
but the object carries an "attenzione:" comment), refused, or WRONG (not
recovered and nothing said); and the seconds per run.
    /usr/bin/python3 bench/nonlinear_objects_recovery.py BUILD/calvero1-batch SEED COUNT
ONLY=Sigmoid in the environment keeps the objects whose type contains it."""
import json, os, random, subprocess, sys, tempfile, time
import mpmath
mpmath.mp.dps = 30
M = mpmath.mpf
batch, seed, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def skew(c, x):
    z1, z2, z3 = (x - c[0]) / c[1], (c[3] * x * mpmath.exp(c[2] * x) - c[0]) / c[1], -c[0] / c[1]
    f = lambda z: mpmath.erfc(-z / mpmath.sqrt(2))
    return mpmath.exp(-z1**2 / 2) * f(z2) / (mpmath.exp(-z3**2 / 2) * f(z3))
EQ = {
    "Curve:Exponent": lambda c, x: c[0] + c[1] * x**c[2],
    "Curve:ExponentialDecay": lambda c, x: c[0] + c[1] * mpmath.exp(c[2] * x),
    "Curve:DoubleExponentialDecay": lambda c, x: c[0] + c[1] * mpmath.exp(c[2] * x) + c[3] * mpmath.exp(c[4] * x),
    "Curve:Sigmoid": lambda c, x: c[0] + c[1] / (1 + mpmath.exp((c[2] - x) / c[3]))**c[4],
    "Curve:RectangularHyperbola1": lambda c, x: c[0] * x / (c[1] + x) + c[2],
    "Curve:RectangularHyperbola2": lambda c, x: c[0] * x / (c[1] + x) + c[2] * x,
    "Curve:ExponentialSkewNormal": skew,
}
def draw(kind, r):
    u, s = r.uniform, lambda: r.choice((-1, 1))
    if kind == "Curve:Exponent": return [u(-1, 1), s() * u(0.2, 2), r.choice((-1, 1)) * u(0.3, 2.5)], (0.2, 2.0)
    if kind == "Curve:ExponentialDecay": return [u(-1, 2), s() * u(0.2, 2), s() * u(0.5, 5)], (0.0, 1.0)
    if kind == "Curve:DoubleExponentialDecay":
        a = -u(1, 10); return [u(-3, 3), s() * u(0.5, 3), a, s() * u(0.5, 3), a * u(0.15, 0.5)], (0.0, 1.0)
    if kind == "Curve:Sigmoid": return [u(-1, 1), s() * u(0.5, 3), u(2, 8), s() * u(0.5, 3), u(0.5, 2)], (0.0, 10.0)
    if kind == "Curve:RectangularHyperbola1": return [s() * u(0.2, 2), u(0.1, 5), u(-1, 1)], (0.0, 5.0)
    if kind == "Curve:RectangularHyperbola2": return [s() * u(0.2, 2), u(0.01, 1), u(-0.5, 0.5)], (0.05, 1.0)
    return [u(-1, 1), u(0.5, 2), u(-0.3, 0.3), u(-2, 2)], (-4.0, 5.0)
r = random.Random(seed)
tally, seconds = {}, []
with tempfile.TemporaryDirectory() as work:
    pts, idf, js = (os.path.join(work, n) for n in ("p.txt", "o.idf", "o.json"))
    for kind in [k for k in EQ if os.environ.get("ONLY", "") in k]:
        for noisy in (False, True):
            t = tally.setdefault((kind, noisy), {"recovered": 0, "cautioned": 0, "refused": 0, "WRONG": 0})
            for _ in range(count):
                c, (lo, hi) = draw(kind, r)
                xs = [lo + (hi - lo) * i / 14 for i in range(15)]
                true = [EQ[kind]([M(v) for v in c], M(x)) for x in xs]
                big = max(abs(v) for v in true)
                vs = [float(v) + (float(big) * 1e-3 * r.gauss(0, 1) if noisy else 0.0) for v in true]
                open(pts, "w").write("".join(f"{x!r};{v!r}\n" for x, v in zip(xs, vs)))
                start = time.time()
                done = subprocess.run([batch, "--points", pts, "--object", kind, "--energyplus", idf, "--json", js],
                                      capture_output=True, text=True)
                seconds.append(time.time() - start)
                if done.returncode:
                    t["refused"] += 1; continue
                fit = json.load(open(js))
                got = [M(q["value"]) for q in fit["coefficients"]]
                if noisy:
                    ok = sum((M(v) - EQ[kind](got, M(x)))**2 for x, v in zip(xs, vs)) <= \
                         sum((M(v) - t_)**2 for v, t_ in zip(vs, true)) * (1 + M(1e-9))
                else:
                    grid = [lo + (hi - lo) * i / 200 for i in range(201)]
                    ok = max(abs(EQ[kind](got, M(x)) - EQ[kind]([M(v) for v in c], M(x))) for x in grid) <= 1e-7 * big
                t["recovered" if ok else ("cautioned" if fit.get("cautions") else "WRONG")] += 1
for (kind, noisy), t in tally.items():
    print(f"{kind:30s} {'noise 1e-3' if noisy else 'exact     '} " + " ".join(f"{k} {v:2d}" for k, v in t.items()))
seconds.sort()
print(f"runs {len(seconds)}, seconds per run: median {seconds[len(seconds)//2]:.2f}, largest {seconds[-1]:.2f}")
