#!/usr/bin/env python3
"""Writes the document fixtures in older record versions, byte by byte.

The fixtures are storage files whose root is a TCard, laid out field by field with
struct.pack (little-endian), independently of the program's own writer. Each record helper
below follows the record layout of its class and asks the document for the record version
that the file's class table gives that class, so one fixture = one set of class versions.

Run it with no arguments; it rewrites the *.qdx files next to this script. The output is
deterministic, and the files are kept under version control with the script.
"""

import pathlib
import struct
from dataclasses import dataclass, field
from typing import Callable, Optional

HERE = pathlib.Path(__file__).resolve().parent
# The record versions the current program writes; each fixture changes what it is about.
CURRENT = {"TCard": 9, "TBaseTable": 2, "TObjectTable": 1, "TCardPage": 3, "TCardObject": 4}
MAX_LONGINT = 0x7FFFFFFF
NO_LINK = 3  # TCardObject.LinkType "none"


# ---- primitives ----------------------------------------------------------------------------


class Bytes:
    """The primitive writers of a storage stream: exact widths, little-endian, no padding."""

    def __init__(self):
        self.data = bytearray()

    def raw(self, data: bytes):
        self.data += data

    def byte(self, value: int):
        self.raw(struct.pack("<B", value))

    def boolean(self, value: bool):
        self.byte(1 if value else 0)

    def smallint(self, value: int):
        self.raw(struct.pack("<h", value))

    def word(self, value: int):
        self.raw(struct.pack("<H", value))

    def longint(self, value: int):
        self.raw(struct.pack("<i", value))

    @staticmethod
    def text(value: str) -> bytes:
        # Older documents hold Windows-1252 text.
        return value.encode("cp1252")

    def string(self, value: str):
        """Short string: 1-byte length, then the bytes."""
        data = self.text(value)
        assert len(data) <= 255, value
        self.byte(len(data))
        self.raw(data)

    def long_string(self, value: str):
        """4-byte length, then the bytes."""
        data = self.text(value)
        self.longint(len(data))
        self.raw(data)

    def pchar(self, value: str):
        """2-byte length, then the bytes (no terminator)."""
        data = self.text(value)
        self.word(len(data))
        self.raw(data)

    def block(self, data: bytes):
        self.longint(len(data))
        self.raw(data)

    def rect(self, left: int, top: int, right: int, bottom: int):
        for value in (left, top, right, bottom):
            self.smallint(value)


class Document(Bytes):
    """One storage file being written: the class table (in order of first use, each class
    with the record version this fixture gives it) and the reference table."""

    def __init__(self, storage_version: int, versions: dict):
        super().__init__()
        self.storage_version = storage_version
        self.versions = dict(versions)
        self.classes = []  # [name, version] in class index order
        self.referenced = {}  # reference index -> class index of the object in that slot

    def class_index(self, name: str) -> int:
        for index, (known, _) in enumerate(self.classes):
            if known == name:
                return index
        self.classes.append([name, self.versions.get(name, 0)])
        return len(self.classes) - 1

    def version(self, name: str) -> int:
        """The record version of a class; the class joins the class table as the writer's
        SetClassVersion makes it do."""
        return self.classes[self.class_index(name)][1]


# ---- objects, instances, references --------------------------------------------------------


@dataclass
class Item:
    """An object written with WriteObject: its class name and its own record."""

    class_name: str
    record: Callable[[Document], None]
    slot: int = -1  # its index in the reference table when something refers to it
    # For text-flow frames: (predecessor, successor) as written in the card record, each
    # None or (page, panel, object).
    frame_links: Optional[tuple] = None


def write_object(d: Document, item: Item):
    """Class index, reference slot, presence byte (storage version 1 on), the record."""
    index = d.class_index(item.class_name)
    d.word(index)
    d.smallint(item.slot)
    if item.slot >= 0:
        assert item.slot not in d.referenced
        d.referenced[item.slot] = index
    if d.storage_version >= 1:
        d.boolean(True)
    item.record(d)


def write_instance(d: Document, record: Callable[[Document], None]):
    """Presence byte (storage version 1 on), then the record; no class identifier."""
    if d.storage_version >= 1:
        d.boolean(True)
    record(d)


def write_reference(d: Document, index: Optional[int]):
    if d.storage_version >= 2:
        d.boolean(index is not None)
        if index is not None:
            d.longint(index)
    else:
        d.smallint(-1 if index is None else index)


# ---- tables --------------------------------------------------------------------------------


class Static(list):
    """The items of a static table: None marks a free slot, which keeps the indices of the
    items after it."""


def live(items: list) -> list:
    return [item for item in items if item is not None]


def base_table(d: Document, count: int, item_size: int = 4, delta: int = 4, free=None):
    """TBaseTable record of an unsorted table; static when free (the indices of its free
    slots) is given."""
    v = d.version("TBaseTable")
    wide = v >= 1
    d.word(delta)
    d.boolean(False)  # Sorted
    d.boolean(False)  # Unique
    d.boolean(free is not None)  # Static
    if v >= 2:
        d.boolean(False)  # KeepCapacity
    if wide:
        d.longint(MAX_LONGINT)  # MaxSize
    else:
        d.word(0xFFFF)
    d.word(item_size)
    if wide:
        d.longint(count)
    else:
        d.word(count)
    if free is not None:
        # The free chain, ending with -1, then LiveCount.
        for index in free + [-1]:
            if wide:
                d.longint(index)
            else:
                d.word(index & 0xFFFF)
        if wide:
            d.longint(count - len(free))
        else:
            d.word(count - len(free))


def object_table(d: Document, item_class: str, items: list, write_item):
    """TObjectTable record: the table header, OwnsObjects, the item class name, the items of
    the live slots."""
    d.version("TObjectTable")
    free = [i for i, item in enumerate(items) if item is None] if isinstance(items, Static) else None
    base_table(d, len(items), free=free)
    d.boolean(True)  # OwnsObjects
    d.string(item_class)
    for item in live(items):
        write_item(d, item)


def codes_table(d: Document, codes: list):
    """A headline's codes: a TMultiObjectTable written with WriteInstance."""
    write_instance(d, lambda d: object_table(d, "", codes, write_object))


def personalized_text(name: str, position: int, value: str) -> Item:
    def record(d):
        d.string(name)
        d.smallint(position)
        d.string(value)

    return Item("TPersonalizedText", record)


def database_text(name: str, position: int) -> Item:
    def record(d):
        d.string(name)
        d.smallint(position)

    return Item("TDatabaseText", record)


# ---- object records ------------------------------------------------------------------------


def card_object(d: Document, bounds, center=(False, False), locked=False, link=(NO_LINK, "")):
    """TCardObject record. Version 0 keeps the rectangle in screen pixels; the centring
    flags come with version 2, Locked with 3, the link with 4."""
    v = d.version("TCardObject")
    d.rect(*bounds)
    if v > 1:
        d.boolean(center[0])
        d.boolean(center[1])
    if v > 2:
        d.boolean(locked)
    if v >= 4:
        d.byte(link[0])
        d.string(link[1])


def shape_fields(d: Document, fill, clear, border_color, border_size):
    d.byte(fill)
    d.boolean(clear)
    d.byte(border_color)
    d.byte(border_size)


def shape_item(class_name, bounds, fill=15, clear=False, border_color=0, border_size=1, **base):
    def record(d):
        card_object(d, bounds, **base)
        shape_fields(d, fill, clear, border_color, border_size)

    return Item(class_name, record)


def rectangle(bounds, **kw):
    return shape_item("TRectangleObject", bounds, **kw)


def ellipse(bounds, **kw):
    return shape_item("TEllipseObject", bounds, **kw)


def rounded_rectangle(bounds, **kw):
    return shape_item("TRRectangleObject", bounds, **kw)


def line(bounds, color, style, width, **base):
    def record(d):
        card_object(d, bounds, **base)
        d.byte(color)
        d.byte(style)
        d.byte(width)

    return Item("TLineObject", record)


def bar_code(bounds, kind, data, use_field, show_text, **base):
    def record(d):
        card_object(d, bounds, **base)
        d.byte(kind)
        d.string(data)
        d.boolean(use_field)
        d.boolean(show_text)

    return Item("TBarCodeObject", record)


def comb(bounds, edge, style, spaces, fill=15, clear=True, border_color=0, border_size=1, **base):
    def record(d):
        card_object(d, bounds, **base)
        shape_fields(d, fill, clear, border_color, border_size)
        d.boolean(edge)
        d.byte(style)
        d.byte(spaces)

    return Item("TCombObject", record)


@dataclass
class Font:
    name: str = "Arial"
    color: int = 0
    size: int = 12
    bold: bool = False
    italic: bool = False
    underline: bool = False
    strike_out: bool = False

    def styles(self, d: Document):
        for flag in (self.bold, self.italic, self.underline, self.strike_out):
            d.boolean(flag)


def field_object(bounds, name, value="", formula="", justification=0, font=Font(),
                 decimals=0, required=False, fill=15, clear=True, border_color=0,
                 border_size=0, **base):
    """TFieldObject: the shape record, then the field's own; Required from version 1."""

    def record(d):
        v = d.version("TFieldObject")
        card_object(d, bounds, **base)
        shape_fields(d, fill, clear, border_color, border_size)
        d.byte(justification)
        d.string(font.name)
        d.longint(font.color)
        d.smallint(font.size)
        font.styles(d)
        d.byte(decimals)
        d.string(formula)
        d.string(value)
        d.string(name)
        if v >= 1:
            d.boolean(required)

    return Item("TFieldObject", record)


@dataclass
class Shade:
    depth: int
    style: int
    color: int
    direction: int


@dataclass
class Back:
    color: int = 0
    from_color: int = 0
    to_color: int = 0
    direction: int = 0
    texture_file: str = ""
    style: int = 0


def headline(bounds, text, font=Font(), alignment=0, graduate=(0x808080, 0, 0),
             texture=("", False), v0_extra="", highlight=Shade(1, 0, 0xFFFFFF, 8),
             shadow=Shade(1, 0, 0, 4), back=Back(), border=(0, 0), delete_blank_lines=False,
             text_direction=0, codes=(), **base):
    """THeadlineObject record, versions 0 to 3."""

    def record(d):
        v = d.version("THeadlineObject")
        card_object(d, bounds, **base)
        d.string(font.name)
        d.longint(font.size)
        d.longint(font.color)
        font.styles(d)
        if v >= 2:
            d.long_string(text)
        else:
            d.string(text)
        d.byte(alignment)
        d.longint(graduate[0])  # GraduateFromColor
        d.longint(graduate[1])  # GraduateToColor
        d.byte(graduate[2])  # GraduateStyle
        if v == 0:
            d.string(v0_extra)
        d.string(texture[0])
        d.boolean(texture[1])
        d.longint(highlight.depth)
        d.longint(shadow.depth)
        d.byte(highlight.style)
        d.byte(shadow.style)
        d.longint(highlight.color)
        d.longint(shadow.color)
        d.byte(highlight.direction)
        d.byte(shadow.direction)
        d.longint(back.color)
        d.longint(back.from_color)
        d.longint(back.to_color)
        d.byte(back.direction)
        d.string(back.texture_file)
        d.byte(back.style)
        d.longint(border[0])  # BorderSize
        d.longint(border[1])  # BorderColor
        d.boolean(delete_blank_lines)
        if v >= 3:
            d.byte(text_direction)
        codes_table(d, list(codes))

    return Item("THeadlineObject", record)


def text_object(bounds, text, font=Font(), alignment=0, shadow=(0, 0, 0), background=15,
                transparent=True, border_color=0, border_size=0, text_direction=0,
                second_text="", delete_blank_lines=False, codes=(), **base):
    """The legacy headline record "TTextObject", versions 1 to 5. Version 1 keeps the
    rectangle in screen pixels and its background byte 255 means transparent."""

    def record(d):
        v = d.version("TTextObject")
        assert v >= 1
        if v == 1:
            d.rect(*bounds)
        else:
            card_object(d, bounds, **base)
            d.byte(background)
            d.boolean(transparent)
            d.byte(border_color)
            d.byte(border_size)
        if v >= 5:
            d.long_string(text)
        else:
            d.pchar(text)
        if v < 4:
            d.pchar(second_text)
        d.string(font.name)
        d.longint(font.color)
        d.smallint(font.size)
        font.styles(d)
        d.byte(alignment)
        d.byte(shadow[0])  # kind
        d.byte(shadow[1])  # colour
        d.byte(shadow[2])  # depth
        if v == 1:
            d.byte(background)
            d.byte(text_direction)
            d.byte(border_color)
            d.byte(border_size)
        else:
            d.byte(text_direction)
            if v >= 3:
                d.boolean(delete_blank_lines)
            if v >= 4:
                codes_table(d, list(codes))

    return Item("TTextObject", record)


def rich_text(bounds, content: bytes, kept_size=None, successor_ref=None, predecessor_ref=None,
              transparent=False, slot=-1, predecessor=None, successor=None, **base):
    """TRichTextObject: block, the size again, the two references from version 1, the
    Transparent flag from version 2. predecessor/successor are the card-level links."""

    def record(d):
        v = d.version("TRichTextObject")
        card_object(d, bounds, **base)
        d.block(content)
        d.longint(len(content) if kept_size is None else kept_size)
        if v >= 1:
            write_reference(d, successor_ref)
            write_reference(d, predecessor_ref)
        if v >= 2:
            d.boolean(transparent)

    return Item("TRichTextObject", record, slot=slot, frame_links=(predecessor, successor))


# Graphic forms inside picture records.
def bitmap_form(image: bytes):
    def write(d):
        d.longint(len(image))
        d.raw(image)

    return write


def legacy_metafile_form(image: bytes):
    """The older form: the count is that of the image alone."""

    def write(d):
        d.longint(len(image))
        d.raw(image)

    return write


def older_standard_metafile_form(image: bytes):
    """How some older records hold a metafile in the standard form (the count includes its
    own four bytes): four more bytes follow it."""

    def write(d):
        d.longint(len(image) + 4)
        d.raw(image)
        d.raw(b"\0\0\0\0")

    return write


def picture(bounds, is_metafile=False, graphic=None, **base):
    """TPictureObject: version 0 has no has-picture flag."""

    def record(d):
        v = d.version("TPictureObject")
        card_object(d, bounds, **base)
        if v >= 1:
            d.boolean(graphic is not None)
            if graphic is None:
                return
        assert graphic is not None
        d.boolean(is_metafile)
        graphic(d)

    return Item("TPictureObject", record)


def grid(bounds, columns, rows, color=0xFFFFFF, line_color=0, line_width=1, font=Font(size=10),
         font_style=0, alignment=2, widths=(), heights=(), cells=(), true_size=(0, 0),
         palette_background=15, clear=False, palette_line=0, **base):
    """TGridObject. Version 0 stores palette colours and byte counts only."""

    def record(d):
        v = d.version("TGridObject")
        card_object(d, bounds, **base)
        if v == 0:
            d.byte(palette_background)
            d.boolean(clear)
            d.byte(palette_line)
            d.byte(line_width)
            d.byte(columns)
            d.byte(rows)
            d.boolean(True)  # read and ignored
            return
        if v >= 2:
            d.longint(true_size[0])
            d.longint(true_size[1])
        d.longint(columns)
        d.longint(rows)
        d.longint(color)
        d.longint(line_color)
        d.longint(line_width)
        d.string(font.name)
        d.longint(font.size)
        d.longint(font.color)
        d.byte(font_style)
        d.byte(alignment)
        assert len(widths) == columns and len(heights) == rows
        for width in widths:
            d.longint(width)
        for height in heights:
            d.longint(height)
        assert len(cells) == rows and all(len(row) == columns for row in cells)
        for row in cells:
            for text in row:
                d.string(text)

    return Item("TGridObject", record)


# ---- pages, panels and the card ------------------------------------------------------------


@dataclass
class Page:
    format: int
    panels: list  # each panel a list of Items
    field_order: list = field(default_factory=list)  # names, from page version 1


def panel_record(d: Document, objects: list):
    """TCardPanel: only its TObjectTable record, objects of any class."""
    object_table(d, "", objects, write_object)


def page_record(d: Document, page: Page):
    v = d.version("TCardPage")
    object_table(d, "TCardPanel", page.panels,
                 lambda d, objects: write_instance(d, lambda d: panel_record(d, objects)))
    d.byte(page.format)
    if v >= 1:
        d.longint(len(page.field_order))
        for name in page.field_order:
            d.string(name)


@dataclass
class Geometry:
    spacing_left: int = 0
    spacing_top: int = 0
    label_width: int = 0
    label_height: int = 0
    spacing_width: int = 0
    spacing_height: int = 0
    num_across: int = 1
    num_down: int = 1

    def write(self, d: Document):
        for value in (self.spacing_left, self.spacing_top, self.label_width, self.label_height,
                      self.spacing_width, self.spacing_height, self.num_across, self.num_down):
            d.smallint(value)


def text_flow_link(d: Document, link):
    """-1 for no frame, else page, panel and object index."""
    if link is None:
        d.longint(-1)
        return
    assert link[0] != -1
    for value in link:
        d.longint(value)


@dataclass
class Card:
    format: int
    pages: list = field(default_factory=list)  # Pages (record version 3 on)
    panels: list = field(default_factory=list)  # panels held directly (versions 0 to 2)
    document_type: int = 0
    geometry: Geometry = field(default_factory=Geometry)
    pixels_per_inch: int = 96
    data_source_in_template_folder: bool = False
    data_source: str = ""
    description: str = ""
    version7_extra: str = ""
    preview: Optional[bytes] = None
    portrait: bool = False

    def record(self, d: Document):
        v = d.version("TCard")
        d.byte(self.format)
        if v > 7:
            d.byte(self.document_type)
        if v > 2:
            assert not self.panels
            object_table(d, "TCardPage", self.pages,
                         lambda d, page: write_instance(d, lambda d: page_record(d, page)))
        else:
            assert not self.pages
            object_table(d, "TCardPanel", self.panels,
                         lambda d, objects: write_instance(d, lambda d: panel_record(d, objects)))
        if v > 4:
            self.geometry.write(d)
        if v >= 1:
            d.smallint(self.pixels_per_inch)
        if v > 5:
            d.boolean(self.data_source_in_template_folder)
        if v > 1:
            d.string(self.data_source)
        if v > 6:
            d.string(self.description)
            if v == 7:
                d.string(self.version7_extra)
        if v > 2:
            # Every text-flow frame, page by page, panel by panel, object by object.
            for page in live(self.pages):
                for objects in live(page.panels):
                    for item in live(objects):
                        if item.frame_links is not None:
                            text_flow_link(d, item.frame_links[0])
                            text_flow_link(d, item.frame_links[1])
        if v >= 7:
            d.boolean(self.preview is not None)
            if self.preview is not None:
                d.longint(len(self.preview))
                d.raw(self.preview)
        if v > 8:
            d.boolean(self.portrait)


def storage_file(card: Card, storage_version: int = 2, **changes) -> bytes:
    """Header "LCP", storage version, class table offset; the root object; the class table;
    the reference table. Classes have the versions the current program writes (CURRENT)
    unless changes give others."""
    d = Document(storage_version, {**CURRENT, **changes})
    d.raw(b"LCP")
    d.word(storage_version)
    offset_at = len(d.data)
    d.longint(0)
    write_object(d, Item("TCard", card.record))

    struct.pack_into("<i", d.data, offset_at, len(d.data))
    d.word(len(d.classes))
    for name, version in d.classes:
        d.word(version)
        d.string(name)

    assert sorted(d.referenced) == list(range(len(d.referenced))), d.referenced
    d.word(len(d.referenced))
    for slot in range(len(d.referenced)):
        d.word(d.referenced[slot])

    unused = set(changes) - {name for name, _ in d.classes}
    assert not unused, f"versions given for classes the file does not use: {unused}"
    return bytes(d.data)


# ---- pictures ------------------------------------------------------------------------------


def bmp_2x2() -> bytes:
    """A 2 x 2 pixel, 24-bit Windows bitmap: top row red, white; bottom row blue, lime."""
    bottom = bytes([255, 0, 0, 0, 255, 0]) + b"\0\0"  # blue, lime (B, G, R), padded to 8
    top = bytes([0, 0, 255, 255, 255, 255]) + b"\0\0"  # red, white
    bits = bottom + top
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(bits), 3780, 3780, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + bits


def placeable_wmf() -> bytes:
    """A placeable Windows metafile: window origin and extent, one rectangle, end of file."""

    def wmf_record(function: int, *params: int) -> bytes:
        return struct.pack("<IH", 3 + len(params), function) + struct.pack(
            f"<{len(params)}h", *params)

    records = [wmf_record(0x020B, 0, 0),  # SetWindowOrg (y, x)
               wmf_record(0x020C, 100, 100),  # SetWindowExt (y, x)
               wmf_record(0x041B, 90, 90, 10, 10),  # Rectangle (bottom, right, top, left)
               wmf_record(0x0000)]  # end of file
    header_size = 18
    # Type 1 (memory), header of 9 words, version 3.0, size of header and records in words,
    # no objects, the largest record in words, no parameters.
    size_words = (header_size + sum(len(r) for r in records)) // 2
    largest_record = max(len(r) for r in records) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, 0, largest_record, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 100, 100, 1440, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    return placeable + struct.pack("<H", checksum) + header + b"".join(records)


BMP = bmp_2x2()
WMF = placeable_wmf()


def single_panel_card(objects: list, **card) -> Card:
    """A current card of format 7 (one portrait panel) holding the objects."""
    return Card(format=7, document_type=4, pages=[Page(7, [objects])], portrait=True, **card)


# ---- card fixtures -------------------------------------------------------------------------


def card_fixtures() -> dict:
    files = {}

    # Version 0 in a storage file of version 0 (no presence bytes): the panels are the card's
    # items, no screen density is stored, objects keep screen pixels. Format 9 is read as 8.
    files["card-v0.qdx"] = storage_file(
        Card(format=9, panels=[[rectangle((24, 48, 120, 96), fill=4)]]),
        storage_version=0, TCard=0, TBaseTable=0, TCardObject=0)

    # Version 1 adds the screen density the document was made on: objects made at 120 pixels
    # per inch are scaled to the screen they are loaded on.
    files["card-v1.qdx"] = storage_file(
        Card(format=7, pixels_per_inch=120, panels=[[rectangle((100, 200, 300, 400))]]),
        TCard=1, TBaseTable=0, TCardObject=1)

    # Version 2: four panels stored directly, each with a rectangle filled with its index; a
    # text frame, whose links version 2 does not store yet.
    panels = [[rectangle((10 * i, 20, 10 * i + 100, 120), fill=i)] for i in range(4)]
    panels[0].append(rich_text((0, 200, 300, 400), b"frame"))
    files["card-v2-panels.qdx"] = storage_file(
        Card(format=0, pixels_per_inch=96, panels=panels),
        TCard=2, TBaseTable=0, TCardObject=1, TRichTextObject=0)

    # Version 3, format 8 on the card and both pages (the business card of that time). The
    # pages are of version 1: the field order stored (reversed, with an unknown name) is
    # replaced by the order of the fields in the panels.
    fields = [field_object((50, 50 + 60 * i, 250, 90 + 60 * i), f"F{i + 1}") for i in range(3)]
    files["card-v3-format8.qdx"] = storage_file(
        Card(format=8, pages=[
            Page(8, [[fields[0], rich_text((0, 0, 200, 100), b"old text"), fields[1]]],
                 field_order=["F2", "Nowhere", "F1"]),
            Page(8, [[fields[2]]], field_order=["F3"]),
        ]),
        TCard=3, TBaseTable=1, TCardPage=1, TCardObject=3, TFieldObject=1, TRichTextObject=0)

    # Version 3, format 9 on the card and its page (the poster of that time); a page of
    # version 0 has no field order at all.
    files["card-v3-format9.qdx"] = storage_file(
        Card(format=9, pages=[Page(9, [[field_object((0, 0, 200, 40), "Only")]])]),
        TCard=3, TBaseTable=1, TCardPage=0, TCardObject=3, TFieldObject=0)

    # Version 4: formats 8 and 9 have today's meaning; the sheet geometry is not stored yet.
    files["card-v4.qdx"] = storage_file(
        Card(format=8, pages=[Page(8, [[rectangle((0, 0, 100, 100))]])]),
        TCard=4, TBaseTable=1, TCardPage=1)

    # Version 5 (sheet geometry stored, no template-folder flag), format 13, pages of
    # version 2: formats from 11 on are one lower in them, and the stored field order is
    # kept. Names are matched exactly, the first field of a name wins, and a name that
    # matches no field is skipped.
    banner_fields = [field_object((0, 40 * i, 300, 40 * i + 30), name)
                     for i, name in enumerate(["F1", "F2", "F3", "F3"])]
    files["card-v5-page-v2.qdx"] = storage_file(
        Card(format=13, geometry=Geometry(num_across=3, num_down=1, label_width=2550),
             pages=[Page(12, [banner_fields], field_order=["F3", "Gone", "f1", "F1"]),
                    Page(11, [[]]), Page(10, [[]])]),
        TCard=5, TBaseTable=1, TCardPage=2, TFieldObject=1)

    # Version 6: the template-folder flag, but no description yet.
    files["card-v6-template-flag.qdx"] = storage_file(
        Card(format=11, data_source_in_template_folder=True,
             geometry=Geometry(spacing_left=75, spacing_top=50, label_width=350,
                               label_height=200, spacing_width=350, spacing_height=200,
                               num_across=2, num_down=4),
             pages=[Page(11, [[rich_text((0, 0, 300, 150), b"card")]])]),
        TCard=6, TRichTextObject=2)

    # Version 7: description (Windows-1252 text) and one more short string after it, then
    # the text-flow links and a preview; no PortraitPaper.
    files["card-v7-extra-string.qdx"] = storage_file(
        Card(format=12,
             geometry=Geometry(spacing_left=19, spacing_top=50, label_width=263,
                               label_height=100, spacing_width=275, spacing_height=100,
                               num_across=3, num_down=10),
             data_source_in_template_folder=True, description="Résumé labels",
             version7_extra="obsolete field", preview=BMP,
             pages=[Page(12, [[rich_text((0, 0, 250, 90), b"label text")]])]),
        TCard=7, TRichTextObject=2)

    # Version 8: the document type is stored; PortraitPaper is not, and format 15 derives
    # false although a new card of that format is portrait. A data source that cannot be
    # opened is reported and kept.
    files["card-v8-no-portrait.qdx"] = storage_file(
        Card(format=15, document_type=15,
             geometry=Geometry(num_across=1, num_down=2, spacing_height=550),
             data_source="Recipients.DBF",
             pages=[Page(15, [[], [], [], []])]),
        TCard=8)

    # Version 9 with and without a preview; PortraitPaper is stored against what the format
    # would derive.
    files["card-v9-preview.qdx"] = storage_file(
        Card(format=1, document_type=0, preview=BMP, portrait=False, description="With preview",
             pages=[Page(1, [[rectangle((10, 10, 60, 60))], [], [], []])]),
        TCard=9)
    files["card-v9-no-preview.qdx"] = storage_file(
        Card(format=0, document_type=0, preview=None, portrait=True,
             pages=[Page(0, [[], [], [], []])]),
        TCard=9)

    # Text flow A -> B -> C across panels and pages. The frames' own records (version 1, in a
    # storage file of version 1: 16-bit references) carry the same links as references.
    a = rich_text((0, 0, 100, 100), b"A", slot=0, successor_ref=1,
                  predecessor=None, successor=(0, 2, 1))
    b = rich_text((0, 0, 100, 100), b"B", slot=1, predecessor_ref=0, successor_ref=2,
                  predecessor=(0, 0, 0), successor=(1, 0, 0))
    c = rich_text((0, 0, 100, 100), b"C", slot=2, predecessor_ref=1,
                  predecessor=(0, 2, 1), successor=None)
    files["textflow-linked.qdx"] = storage_file(
        Card(format=0, pages=[
            Page(0, [[a, rectangle((0, 200, 50, 250))], [], [rectangle((5, 5, 50, 50)), b], []]),
            Page(0, [[c], [], [], []]),
        ]),
        storage_version=1, TRichTextObject=1)

    # Links that point at no frame: beyond the objects, panels and pages, at negative
    # indices and at a rectangle. Only A -> D is sound.
    files["textflow-dangling.qdx"] = storage_file(
        Card(format=7, pages=[Page(7, [[
            rich_text((0, 0, 100, 100), b"A", predecessor=None, successor=(0, 0, 4)),
            rectangle((0, 200, 50, 250)),
            rich_text((0, 0, 100, 100), b"B", predecessor=(0, 0, 1), successor=(3, 0, 0)),
            rich_text((0, 0, 100, 100), b"C", predecessor=(0, 5, 0), successor=(0, 0, 9)),
            rich_text((0, 0, 100, 100), b"D", predecessor=(0, 0, 0), successor=(-2, 0, 0)),
        ]])]),
        TRichTextObject=2)

    # A -> B -> C -> A closes a circle; D continues into itself.
    files["textflow-cycle.qdx"] = storage_file(
        Card(format=7, pages=[Page(7, [[
            rich_text((0, 0, 100, 100), b"A", predecessor=(0, 0, 2), successor=(0, 0, 1)),
            rich_text((0, 0, 100, 100), b"B", predecessor=(0, 0, 0), successor=(0, 0, 2)),
            rich_text((0, 0, 100, 100), b"C", predecessor=(0, 0, 1), successor=(0, 0, 0)),
            rich_text((0, 0, 100, 100), b"D", predecessor=(0, 0, 3), successor=(0, 0, 3)),
        ]])]),
        TRichTextObject=2)

    # Static tables keep the indices of their items across deleted ones, and the links name
    # those indices: A (page 0, panel 0, slot 1) -> B (slot 4) -> C (page 2, panel 1, slot 1),
    # with the free page slot 1 between them.
    a = rich_text((0, 0, 100, 100), b"A", predecessor=None, successor=(0, 0, 4))
    b = rich_text((0, 0, 100, 100), b"B", predecessor=(0, 0, 1), successor=(2, 1, 1))
    c = rich_text((0, 0, 100, 100), b"C", predecessor=(0, 0, 4), successor=None)
    files["textflow-static-slots.qdx"] = storage_file(
        Card(format=0, pages=Static([
            Page(0, [Static([None, a, rectangle((0, 200, 50, 250)), None, b]), [], [], []]),
            None,
            Page(0, [[], Static([None, c]), [], []]),
        ])),
        TRichTextObject=2)

    # Older documents name their recipient table by a path of the machine they were made on.
    # The table cannot be opened here; the document must open all the same, whatever the
    # version: version 2 holds the panels directly, and they become a page only after the
    # data source is read.
    greeting = headline((10, 10, 300, 60), "Dear <First>", codes=[database_text("First", 6)])
    missing = "C:\\Data\\Customers.DB"
    files["card-v2-missing-table.qdx"] = storage_file(
        Card(format=0, data_source=missing, panels=[[greeting], [], [], []]),
        TCard=2, TBaseTable=0, TCardObject=1, THeadlineObject=3)
    files["card-v3-missing-table.qdx"] = storage_file(
        Card(format=0, data_source=missing, pages=[Page(0, [[greeting], [], [], []])]),
        TCard=3, TBaseTable=1, TCardPage=1, TCardObject=3, THeadlineObject=3)
    files["card-v5-missing-table.qdx"] = storage_file(
        Card(format=0, data_source=missing, pages=[Page(0, [[greeting], [], [], []])]),
        TCard=5, TBaseTable=1, TCardPage=2, THeadlineObject=3)
    files["card-v9-missing-table.qdx"] = storage_file(
        Card(format=0, data_source=missing, pages=[Page(0, [[greeting], [], [], []])]),
        THeadlineObject=3)
    return files


# ---- object fixtures -----------------------------------------------------------------------


def every_base_kind(v: int) -> list:
    """One object of each kind whose record is the base record plus fixed fields."""
    base = {}
    if v > 1:
        base["center"] = (True, False)
    if v > 2:
        base["locked"] = True
    return [
        rectangle((10, 20, 110, 70), fill=9, clear=False, border_color=12, border_size=3, **base),
        line((200, 150, 100, 50), color=4, style=2, width=6, **base),
        ellipse((0, 0, 80, 40), fill=2, clear=True, border_color=5, border_size=0, **base),
        rounded_rectangle((30, 30, 230, 130), fill=14, clear=False, border_color=1,
                          border_size=2, **base),
        bar_code((40, 300, 240, 380), kind=4, data="ABC-123", use_field=False, show_text=True,
                 **base),
        comb((40, 400, 340, 440), edge=False, style=1, spaces=7, fill=11, clear=False,
             border_color=6, border_size=2, **base),
        field_object((40, 500, 340, 530), "Amount", value="12.5", decimals=2, required=True,
                     **base),
    ]


def object_fixtures() -> dict:
    files = {}

    # Base record version 0: rectangles in screen pixels. 12 and 36 pixels are exactly half
    # way between two units at 96 pixels per inch.
    files["object-base-v0.qdx"] = storage_file(
        single_panel_card([
            rectangle((-12, 12, 36, 60), fill=3),
            line((10, 20, 110, 70), color=1, style=0, width=2),
        ]),
        TCardObject=0)
    for v in (1, 2, 3):
        files[f"object-base-v{v}.qdx"] = storage_file(
            single_panel_card(every_base_kind(v)), TCardObject=v, TFieldObject=1)

    # Headline records, versions 0 to 3.
    styled = dict(
        font=Font("Georgia", 0x0000FF, 28, bold=True, underline=True), alignment=1,
        graduate=(0x00FF00, 0xFF0000, 2), texture=("stone.bmp", True),
        highlight=Shade(0x0103, 1, 0xFFFFFF, 2), shadow=Shade(4, 2, 0x404040, 6),
        back=Back(0x00FFFF, 0x000001, 0x000002, 1, "paper.bmp", 3), border=(12, 0x0000AA),
        delete_blank_lines=True)
    for v in range(4):
        codes = [personalized_text("Name", 6, "Ann"), database_text("City", 14)]
        files[f"headline-v{v}.qdx"] = storage_file(
            single_panel_card([
                headline((100, 100, 400, 200), "Dear [Name], <City>", v0_extra="gone",
                         text_direction=1, codes=codes, link=(0, "http://example.com/"),
                         **styled),
                rectangle((1, 2, 3, 4), fill=7),  # must still be read in step
            ]),
            THeadlineObject=v)

    # The legacy headline record "TTextObject", versions 1 to 5, one headline for each
    # shadow kind.
    for v in (1, 2, 3, 4, 5):
        objects = []
        for kind in range(5):
            top = 60 * kind
            bounds = (10, top, 500, top + 50)
            text = "Line one\r\nLine [two]" if kind == 0 else f"Shadow {kind}"
            codes = [personalized_text("two", 16, "2")] if kind == 0 else []
            objects.append(text_object(
                bounds, text,
                font=Font("Courier New", 0x112233, 1 if kind == 1 else 24, italic=True,
                          strike_out=True),
                alignment=2, shadow=(kind, 0x80, 3 + kind),
                background=255 if (v == 1 and kind == 0) else 9, transparent=kind == 0,
                border_color=12, border_size=2 + kind, text_direction=kind % 4,
                second_text="discarded", delete_blank_lines=True, codes=codes))
        # A long text in a narrow frame is re-wrapped.
        objects.append(text_object(
            (10, 400, 80, 460), "the quick brown fox jumps over the lazy dog",
            font=Font("Arial", 0, 14)))
        objects.append(rectangle((1, 2, 3, 4), fill=7))
        files[f"textobject-v{v}.qdx"] = storage_file(
            single_panel_card(objects), TTextObject=v, TCardObject=4 if v > 1 else 0)

    # Rich text: version 0 has no links and no Transparent flag; the second size may
    # shorten the block. Version 1 (storage version 1: 16-bit references) has the links.
    files["richtext-v0.qdx"] = storage_file(
        single_panel_card([
            rich_text((10, 10, 300, 200), b"{\\rtf1 first}", center=(True, True)),
            rich_text((10, 210, 300, 400), b"abcdefgh", kept_size=5),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TRichTextObject=0)
    files["richtext-v1.qdx"] = storage_file(
        single_panel_card([
            rich_text((10, 10, 300, 200), b"one", slot=0, successor_ref=1,
                      predecessor=None, successor=(0, 0, 1)),
            rich_text((10, 210, 300, 400), b"two", slot=1, predecessor_ref=0,
                      predecessor=(0, 0, 0), successor=None),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        storage_version=1, TRichTextObject=1)

    # Pictures: version 0 has no has-picture flag and the older metafile count; version 1
    # has the flag, and its metafiles come in either form.
    files["picture-v0.qdx"] = storage_file(
        single_panel_card([
            picture((0, 0, 200, 200), is_metafile=False, graphic=bitmap_form(BMP)),
            picture((0, 0, 300, 300), is_metafile=True, graphic=legacy_metafile_form(WMF)),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TPictureObject=0)
    files["picture-v1.qdx"] = storage_file(
        single_panel_card([
            picture((0, 0, 100, 100), graphic=None),
            picture((0, 0, 300, 300), is_metafile=True, graphic=legacy_metafile_form(WMF)),
            picture((0, 0, 300, 300), is_metafile=True,
                    graphic=older_standard_metafile_form(WMF)),
            picture((0, 0, 200, 200), is_metafile=False, graphic=bitmap_form(BMP)),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TPictureObject=1)

    # Grids. Version 0: palette colours, counts only; columns and rows share the object's
    # size (104 x 63 units = 100 x 60 pixels at 96 pixels per inch).
    files["grid-v0.qdx"] = storage_file(
        single_panel_card([
            grid((10, 10, 114, 73), columns=3, rows=2, line_width=1, clear=False,
                 palette_background=9, palette_line=12),
            grid((10, 100, 214, 200), columns=4, rows=1, line_width=3, clear=True,
                 palette_background=9, palette_line=2),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TGridObject=0)
    # Version 1: everything but the total size, which comes from the object (250 x 125
    # units = 240 x 120 pixels).
    files["grid-v1.qdx"] = storage_file(
        single_panel_card([
            grid((20, 20, 270, 145), columns=2, rows=3, color=0x00E0E0, line_color=0x000080,
                 line_width=2, font=Font("Verdana", 0x123456, 11), font_style=5, alignment=1,
                 widths=(70, 90), heights=(20, 25, 30),
                 cells=(("a1", "b1"), ("a2", "b2"), ("", "Café"))),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TGridObject=1)

    # Field record version 0: no Required byte.
    files["field-v0.qdx"] = storage_file(
        single_panel_card([
            field_object((10, 10, 210, 40), "Total", formula="{A}+{B}", justification=1,
                         font=Font("Tahoma", 0x0000FF, 9, bold=True), decimals=3, fill=14,
                         clear=False, border_color=4, border_size=1),
            field_object((10, 50, 210, 80), "A", value="2"),
            rectangle((1, 2, 3, 4), fill=7),
        ]),
        TFieldObject=0)
    return files


def main():
    files = {**card_fixtures(), **object_fixtures()}
    for name, data in sorted(files.items()):
        (HERE / name).write_bytes(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
