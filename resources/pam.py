"""Writes pictures drawn pixel by pixel as PAM files (Netpbm's P7), which ImageMagick reads.

Shared by the picture scripts (frame/draw-frame.py, info/draw-info.py): a picture is its width,
its height and rows of pixels, each an (r, g, b) of floats and an alpha of 0 to 255.
"""


def write_pam(path, width, height, rgb, alpha, with_alpha):
    """Writes the rows rgb (and alpha, when with_alpha) to path, each value rounded to 0..255."""
    depth, kind = (4, "RGB_ALPHA") if with_alpha else (3, "RGB")
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n" % (
        width,
        height,
        depth,
        kind,
    )
    data = bytearray()
    for y in range(height):
        for x in range(width):
            data.extend(min(255, max(0, round(c))) for c in rgb[y][x])
            if with_alpha:
                data.append(min(255, max(0, round(alpha[y][x]))))
    with open(path, "wb") as out:
        out.write(header.encode("ascii"))
        out.write(bytes(data))
