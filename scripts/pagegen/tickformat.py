"""Tick label texts as catalogues write them: decimal commas, thousands
separators, and the texts an axis title or an axis end carries."""
import math
import re

SUPERSCRIPT = str.maketrans("0123456789-−", "⁰¹²³⁴⁵⁶⁷⁸⁹⁻⁻")


def decimals_for(step):
    """As many decimals as a tick step needs (2.5 -> 1, 0.25 -> 2, 20 -> 0)."""
    for d in range(0, 6):
        if abs(round(step, d) - step) < 1e-9 * max(1, abs(step)):
            return d
    return 6


def number_text(value, decimals, decimal=".", thousands="", minus="-"):
    text = "%.*f" % (decimals, abs(value))
    whole, _, fraction = text.partition(".")
    if thousands and len(whole) > 3:
        groups = []
        while len(whole) > 3:
            groups.insert(0, whole[-3:])
            whole = whole[:-3]
        whole = thousands.join([whole] + groups)
    text = whole + (decimal + fraction if fraction else "")
    negative = value < 0 and float("%.*f" % (decimals, abs(value))) != 0
    return (minus if negative else "") + text


def power_text(exponent):
    return "10" + str(exponent).translate(SUPERSCRIPT)


def plain_text(label):
    """A matplotlib label's text without its mathtext wrapping: '$\\mathdefault{10^{3}}$' -> '10³'."""
    text = label.replace("\\mathdefault", "").replace("\\times", "×").replace("\\minus", "−").replace("$", "")
    text = re.sub(r"\^\{([^}]*)\}", lambda m: m.group(1).translate(SUPERSCRIPT), text)
    return text.replace("{", "").replace("}", "").replace("\\,", " ").strip()


def nice_step(span, most=10, fewest=4):
    """A tick step of 1, 2, 2.5 or 5 times a power of ten giving between fewest and most intervals."""
    for power in range(-6, 8):
        for n in (1, 2, 2.5, 5):
            step = n * 10 ** power
            if fewest <= span / step <= most:
                return step
    return span / 5


def ticks(low, high, step):
    first = math.ceil(low / step - 1e-9)
    values = []
    k = first
    while k * step <= high + 1e-9 * step:
        values.append(round(k * step, 10))
        k += 1
    return values
