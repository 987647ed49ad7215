#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora: small valid files for each reader.

    scripts/make-fuzz-seeds.py OUT    one folder OUT/<target> per fuzz target

Pictures are the decoder tests' own files; models, WAV files and XML are
written here (resource descriptions carry one of them after a "#--" line);
Ogg files are encoded from WAV files by oggenc (vorbis-tools).
"""
import math
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
IMAGES = ROOT / "tests" / "data" / "images"
PICTURES = {"bmp": ".bmp", "jpeg": ".jpg", "png": ".png", "tga": ".tga"}
# The gradient target's first byte picks the ending, in this order.
GRADIENT_ENDINGS = [".bmp", ".jpg", ".png", ".tga"]


def xml_seeds():
    return {
        "locations.xml": (ROOT / "resources" / "locations.xml").read_bytes(),
        "nested.xml": b'<?xml version="1.0"?>\n<gui><window name="w" x="10" visible="True">'
                      b'<button name="b" caption="&lt;Go&gt;" checked="1"/>text &amp; more'
                      b'<![CDATA[raw <data>]]></window><!-- note --></gui>\n',
        "resources.xml": b'<resources><texture name="t" file="a.png"/>'
                         b'<font name="f" file="f.ttf" size="12"/>'
                         b'<stream name="s" file="m.ogg" size="500"/>'
                         b'<heightmap name="h" file="h.png"/></resources>\n',
    }


def location_seeds():
    return {
        "locations.xml": (ROOT / "resources" / "locations.xml").read_bytes(),
        "two.xml": b'<locations><l name="a" iterations="256" real="-0.75" imaginary="0.1"'
                   b' scale="1e-3"/><l name="b" real="nan" scale="-inf" iterations="-1"/>'
                   b'</locations>',
    }


def deep_seeds():
    # The shipped presets, each moved to the front, where the target reads.
    text = (ROOT / "resources" / "deep.xml").read_text()
    views = re.findall(r"<view .*?/>", text, re.S)
    seeds = {f"{i}.xml": ("<deep>" + view + "</deep>").encode() for i, view in enumerate(views)}
    seeds["shallow.xml"] = (b'<deep><view name="s" scale="1e-5" iterations="300" '
                            b'real="-0.743643887037151" imaginary="0.131825904205330"/></deep>')
    return seeds


def gui_seeds():
    seeds = {
        "panel.xml": b'<gui><font name="f" kern="1" text="a\\nb"/><scroll name="s" w="12" max="3"/>'
                     b'<button name="b" font="f" text="Go"><offset x="1" y="1"/><hover a="1"/></button>'
                     b'<checkbox name="c" font="b"/><edit name="e" font="f" limit="4"/>'
                     b'<combo name="cb" font="f" scroll="s" h="80"><list><column name="x" w="40">'
                     b'<item text="one"/></column></list></combo>'
                     b'<list name="l" scroll="f" spacing="2"><column w="30"><item text="a"/></column>'
                     b'<column w="20"><item text="b"/></column></list>'
                     b'<progress name="p" min="1" max="9"/><control name="bar" w="200" h="20"/>'
                     b'<window name="w" font="f" text="T"><gui h="10"/><button w="8" h="8"/></window>'
                     b'<frame name="fr" borderX="2"><gui border="1" w="4"/><gui border="9"/></frame>'
                     b'<gui name="child" parent="later" sprite="none" frame="-2"/><gui name="later" parent="child"/>'
                     b'</gui>\n',
        "menus.xml": b'<gui><gui name="icon" w="8" h="8"/><menu name="m" font="f" icon="icon" w="60" h="16">'
                     b'<hover r="1" a="0.5"/><menu name="i" parent="m" text="Item">'
                     b'<menu name="j" parent="i"/></menu></menu><menu name="k" parent="m"/></gui>\n',
    }
    shipped = ROOT / "resources" / "gui.xml"
    if shipped.exists():
        seeds["gui.xml"] = shipped.read_bytes()
    return seeds


def obj_seeds():
    cube = ("mtllib fuzz.mtl\r\nusemtl red\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
            "v 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\nvt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
            "f 1/1/1 2/2/1 3/3/1 4/1/1\nusemtl blue\nf 5//1 6//1 7//1 8//1\n"
            "f 1/1 2/2 6/3 5/1\nf 2 3 7\n")
    library = ("newmtl red\nKa 0.1 0 0\nKd 1 0 0\nKs 1 1 1\nNs 20\n"
               "newmtl blue\r\nKd 0 0 1.5\r\n")
    return {
        "cube.obj": (cube + "\n#--\n" + library).encode(),
        "plain.obj": b"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
    }


def chunk3ds(cid, body):
    return struct.pack("<HI", cid, len(body) + 6) + body


def seeds_3ds():
    vertices = struct.pack("<H", 4) + struct.pack("<12f", 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0)
    faces = struct.pack("<H", 2) + struct.pack("<8H", 0, 1, 2, 7, 2, 3, 0, 7)
    faces += chunk3ds(0x4130, b"red\0" + struct.pack("<HH", 1, 1))
    uv = struct.pack("<H", 4) + struct.pack("<8f", 0, 0, 1, 0, 1, 1, 0, 1)
    mesh = chunk3ds(0x4100, chunk3ds(0x4110, vertices) + chunk3ds(0x4140, uv)
                    + chunk3ds(0x4120, faces))
    material = chunk3ds(0xAFFF, chunk3ds(0xA000, b"red\0")
                        + chunk3ds(0xA020, chunk3ds(0x0011, b"\xc8\x10\x00")))
    editor = chunk3ds(0x3D3D, material + chunk3ds(0x4000, b"quad\0" + mesh))
    main = chunk3ds(0x4D4D, chunk3ds(0x0002, struct.pack("<I", 3)) + editor
                    + chunk3ds(0xB000, b"\0" * 8))
    return {"quad.3ds": main}


def wav(channels, rate, bits, frames, extra=b""):
    width = bits // 8
    data = bytearray()
    for i in range(frames):
        value = int(0.4 * math.sin(i * 0.05) * (2 ** (bits - 1) - 1))
        for _ in range(channels):
            data += (value + 128).to_bytes(1, "little") if bits == 8 else \
                value.to_bytes(width, "little", signed=True)
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels * width, channels * width, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra
    body += b"data" + struct.pack("<I", len(data)) + bytes(data)
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def wav_seeds():
    return {
        "mono8.wav": wav(1, 8000, 8, 101, extra=b"LIST" + struct.pack("<I", 3) + b"abc\0"),
        "stereo16.wav": wav(2, 22050, 16, 64),
    }


def ogg_seeds():
    seeds = {}
    with tempfile.TemporaryDirectory() as folder:
        for name, (channels, rate, frames) in {"mono.ogg": (1, 8000, 800),
                                               "stereo.ogg": (2, 11025, 400)}.items():
            source = Path(folder) / "tone.wav"
            target = Path(folder) / name
            source.write_bytes(wav(channels, rate, 16, frames))
            subprocess.run(["oggenc", "-Q", "-q", "-1", "-o", str(target), str(source)],
                           check=True)
            seeds[name] = target.read_bytes()
    return seeds


def resource_seeds(corpora):
    """A description of every kind, then one file it reaches as "fuzz.*"."""
    kinds = {
        "obj": (b'<model name="m" file="fuzz.obj"/>', corpora["obj"]["cube.obj"].split(b"\n#--\n")[0]),
        "3ds": (b'<model name="m" file="fuzz.3ds"/>', next(iter(corpora["3ds"].values()))),
        "wav": (b'<sound name="w" file="fuzz.wav"/><stream name="x" file="fuzz.wav"/>',
                corpora["wav"]["stereo16.wav"]),
        "ogg": (b'<sound name="o" file="fuzz.ogg"/><stream name="s" file="fuzz.ogg" size="250"/>',
                corpora["ogg"]["mono.ogg"]),
        "tga": (b'<heightmap name="h" file="fuzz.tga"/><sprite name="p" file="fuzz.tga">'
                b'<frame array="4,2" w="16" h="16"/><frame name="f" x="1" delay="40"/></sprite>'
                b'<font name="f" file="fuzz.ttf" height="12" start="32" end="126"/>',
                next(iter(corpora["tga"].values()))),
    }
    return {f"{kind}.xml": b"<resources>" + description + b"<other file=\"fuzz.bmp\"/>"
            b"</resources>\n#--\n" + data for kind, (description, data) in kinds.items()}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = Path(sys.argv[1])
    corpora = {"xml": xml_seeds(), "locations": location_seeds(), "obj": obj_seeds(),
               "3ds": seeds_3ds(), "wav": wav_seeds(), "ogg": ogg_seeds(), "gui": gui_seeds(),
               "deep": deep_seeds()}
    for target, ending in PICTURES.items():
        corpora[target] = {p.name: p.read_bytes() for p in sorted(IMAGES.glob("*" + ending))}
    corpora["gradient"] = {}
    for index, ending in enumerate(GRADIENT_ENDINGS):
        for p in sorted(IMAGES.glob("*" + ending)):
            corpora["gradient"][p.name] = bytes([index]) + p.read_bytes()
    corpora["resources"] = resource_seeds(corpora)
    for target, files in corpora.items():
        folder = out / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)
        print(f"seeds: {target}: {len(files)} files")


if __name__ == "__main__":
    main()
