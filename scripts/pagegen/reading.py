"""Runs digitora on a page and reads what it wrote: the axes' references on
standard error, the points of one curve, the blocks of --all-curves."""
import re
import subprocess
import time

NUMBER = r"[-+]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][-+]?\d+)?"
# "asse x lineare: 0 in 100.5,675.5, 150 in 950.5,675.5 (...)"; the axis' name may grow words ("y destro").
AXIS_LINE = re.compile(r"asse (.+?) (lineare|logaritmico): (%s) in (%s),(%s), (%s) in (%s),(%s)" % ((NUMBER,) * 6))


def options_of(digitora):
    """The options digitora's help lists (so the reads use --chart and --y-axis once it has them)."""
    run = subprocess.run([digitora, "--help"], capture_output=True, text=True)
    return set(re.findall(r"--[a-z][a-z-]+", run.stdout + run.stderr))


def axis_role(name):
    """x, x2, y or y2 from the name digitora gives an axis."""
    n = name.lower()
    right = any(w in n for w in ("destr", "right", "y2", "secondar"))
    top = any(w in n for w in ("alto", "sopra", "top", "x2"))
    if n.startswith("x"):
        return "x2" if top else "x"
    if n.startswith("y"):
        return "y2" if right else "y"
    return None


def references(stderr):
    """[(role, name, scale, [(value, col, row), (value, col, row)])] of every axis line."""
    found = []
    for m in AXIS_LINE.finditer(stderr):
        g = m.groups()
        refs = [(float(g[2]), float(g[3]), float(g[4])), (float(g[5]), float(g[6]), float(g[7]))]
        found.append((axis_role(g[0]), g[0], "log" if g[1] == "logaritmico" else "linear", refs))
    return found


def points(stdout):
    out = []
    for line in stdout.splitlines():
        if line.startswith("#") or not line.strip():
            continue
        try:
            fields = [float(v) for v in line.split(";")]
        except ValueError:
            continue
        if len(fields) == 2:
            out.append(tuple(fields))
    return out


def blocks(stdout):
    """The curves of --all-curves: [(label, [(x, y)])]; x;parameter;y lines are grouped by their parameter.
    Of several '#' lines in a row the last names the curve (the others head a group of curves)."""
    found = []
    by_parameter = {}
    label = None
    for line in stdout.splitlines():
        if line.startswith("#"):
            label = line[1:].strip()
            continue
        try:
            fields = [float(v) for v in line.split(";")]
        except ValueError:
            continue
        if len(fields) == 3:
            key = line.split(";")[1].strip()
            if key not in by_parameter:
                by_parameter[key] = (key, [])
                found.append(by_parameter[key])
            by_parameter[key][1].append((fields[0], fields[2]))
        elif len(fields) == 2:
            if label is not None or not found:
                found.append((label or "", []))
                label = None
            found[-1][1].append(tuple(fields))
    return found


def run(args, timeout=300):
    """Runs one read: (exit status, stdout, stderr, seconds); a crash gives the signal as a negative status."""
    start = time.time()
    try:
        r = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
        code, out, err = r.returncode, r.stdout, r.stderr
    except subprocess.TimeoutExpired:
        code, out, err = "timeout", "", "oltre %d s" % timeout
    return code, out, err, time.time() - start


def warnings_of(stderr):
    return [l[len("attenzione: "):] for l in stderr.splitlines() if l.startswith("attenzione: ")]
