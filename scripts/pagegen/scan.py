"""A drawn page made to look scanned: turned a degree or two, blurred, on grey
or tinted paper with grain, saved as a JPEG. Returns the map from the drawn
picture's pixels to the scan's, so the truth follows the page."""
import math

import numpy
from PIL import Image
from scipy import ndimage


def turn_map(angle, width, height):
    """The 2x3 map (col, row) -> (col, row) of a turn by angle degrees (counter-clockwise as seen) about the centre."""
    t = math.radians(angle)
    c, s = math.cos(t), math.sin(t)
    cc, rc = width / 2, height / 2
    return [[c, s, cc - c * cc - s * rc], [-s, c, rc + s * cc - c * rc]]


def degrade(source, target, scan):
    picture = numpy.asarray(Image.open(source).convert("RGB"), dtype=numpy.float32)
    height, width = picture.shape[:2]
    forward = turn_map(scan["turn"], width, height)
    if scan["turn"]:
        t = math.radians(scan["turn"])
        c, s = math.cos(t), math.sin(t)
        back = numpy.array([[c, s], [-s, c]])  # (row, col) of the output -> of the input, about the centre
        centre = numpy.array([height / 2, width / 2])
        offset = back @ (0.5 - centre) + centre - 0.5
        picture = numpy.stack([ndimage.affine_transform(picture[:, :, k], back, offset=offset, order=1, cval=255.0)
                               for k in range(3)], axis=2)
    sigma = scan["blur"] * scan["dpi"] / 150
    picture = numpy.stack([ndimage.gaussian_filter(picture[:, :, k], sigma) for k in range(3)], axis=2)
    paper = numpy.array(scan["tint"], dtype=numpy.float32) * scan["paper"] * 255
    ink = scan["ink"] * 255
    picture = ink + (paper - ink) * picture / 255
    noise = numpy.random.default_rng(scan["noise_seed"]).normal(0, scan["grain"], picture.shape[:2])
    picture = numpy.clip(picture + noise[:, :, None], 0, 255).astype(numpy.uint8)
    Image.fromarray(picture).save(target, quality=scan["quality"], dpi=(scan["dpi"], scan["dpi"]))
    return forward
