#!/usr/bin/env python3
"""Writes the help file's project (pages, contents, index) from the command tables and the
hand-written pages beside this script; chmcmd compiles it into QlkTray.chm.

    make-help.py SOURCE_ROOT OUT_DIR

The menu pages list every command of the tray's menu (Menu128.def) with its identifier as an
anchor ("c<id>"); the keyword reference lists every macro keyword of Keywords.def, the table
`qlark --list` prints, with an anchor "kw-<name>". The index finds a command by its caption
and by its macro keyword. Pages, contents and index are written in code page 932, which the
Japanese help viewer reads."""
import html
import os
import re
import sys

ROOT, OUT = sys.argv[1], sys.argv[2]
CORE = os.path.join(ROOT, "src", "core", "macro")
HERE = os.path.join(ROOT, "src", "help")
ENC = "cp932"


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def c_string(s):
    """The text of a C string literal run (adjacent literals joined, escapes decoded)."""
    out = ""
    for part in re.findall(r'"((?:[^"\\]|\\.)*)"', s):
        out += re.sub(r"\\x([0-9A-Fa-f]{2})|\\(.)", lambda m: chr(int(m.group(1), 16)) if m.group(1) else m.group(2), part)
    return out


def plain_caption(caption):
    """A menu caption as a person reads it: no mnemonic, no trailing dots."""
    caption = re.sub(r"\(\x1e.\x1f.\)", "", caption)
    caption = re.sub(r"\(&.\)", "", caption).replace("&", "")
    return caption.rstrip(".").strip()


# ---- the tables
commands = {}  # name -> {id, keyword, args}
for m in re.finditer(r"^QLK_CMD\((\w+), *(\d+), *(\w+), *\w+, *(\w+), *(\"[^\"]*\")\)", read(os.path.join(CORE, "Commands.def")), re.M):
    commands[m.group(1)] = {"id": int(m.group(2)), "keyword": m.group(3), "frame": m.group(4), "args": c_string(m.group(5))}

keywords = []  # (name, args, help), in the table's order
for m in re.finditer(r"^QLK_KW(?:_EXTRA)?\((\w+), *\d(?: *\| *\w+)*, *(\"[^\"]*\"), *(\".*\")\)\s*$", read(os.path.join(CORE, "Keywords.def")), re.M):
    keywords.append((m.group(1), c_string(m.group(2)), c_string(m.group(3))))
keyword_help = {k[0]: k for k in keywords}

# The menu: a list of (caption, [items]) families; items are command names or None (separator).
families, stack = [], []
top = ("", [])
for line in read(os.path.join(CORE, "Menu128.def")).splitlines():
    line = line.strip()
    if m := re.match(r"QLK_POPUP(?:_M)?\((.*)\)$", line):
        args = m.group(1)
        stack.append((plain_caption(c_string(args)), []))
    elif line.startswith("QLK_END()"):
        fam = stack.pop()
        (stack[-1][1] if stack else families).append(fam)
    elif m := re.match(r"QLK_ITEM(?:_M)?\((\w+), *(.*)\)$", line):
        item = (m.group(1), plain_caption(c_string(m.group(2))))
        (stack[-1][1] if stack else top[1]).append(item)
    elif line.startswith("QLK_SEPARATOR()"):
        (stack[-1][1] if stack else top[1]).append(None)

# Commands of the table in no menu (the custom menu's own entries): on the last page, with
# their caption in the custom menu's catalogue.
catalogue = {m.group(1): re.sub(r"^\[[^\]]*\]", "", c_string(m.group(2)))
             for m in re.finditer(r"^QLK_CAT\((\w+), *(\".*\")\)", read(os.path.join(CORE, "Catalogue.def")), re.M)}
in_menu = set()


def walk(items):
    for it in items:
        if it is not None:
            if isinstance(it[1], list):
                yield from walk(it[1])
            else:
                yield it


for it in list(walk(families)) + list(walk(top[1])):
    in_menu.add(it[0])
top = ("その他のコマンド", top[1] + [(n, catalogue.get(n, n)) for n in commands if n not in in_menu])

# Notes per command (dialog fields and what the command does beyond its keyword's line) and
# examples (a macro line with its text before and after; the unit tests run each one).
notes = {}
for line in read(os.path.join(HERE, "notes.txt")).splitlines():
    if line and not line.startswith("#"):
        name, text = line.split("\t", 1)
        notes[name] = text
examples = {}
for line in read(os.path.join(HERE, "examples.tsv")).splitlines():
    if line and not line.startswith("#"):
        name, macro, before, after = line.split("\t")
        examples.setdefault(name, []).append((macro, before, after))


def unescape(s):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t", "s": " ", "b": "", "\\": "\\"}.get(m.group(1), m.group(0)), s)


# ---- the pages
os.makedirs(OUT, exist_ok=True)
pages = []  # (file, title): the contents in order
anchors = {}  # command name -> "file#cID"
index = []  # (entry, local)


def write_page(name, title, body):
    text = (
        '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\n<html lang="ja"><head>\n'
        '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n'
        f"<title>{html.escape(title)}</title>\n"
        '<link rel="stylesheet" type="text/css" href="help.css">\n</head><body>\n'
        f"<h1>{html.escape(title)}</h1>\n{body}\n"
        '<p class="foot"><a href="index.html">目次へ</a> | <a href="keywords.html">マクロキーワード一覧</a></p>\n'
        "</body></html>\n"
    )
    with open(os.path.join(OUT, name), "w", encoding=ENC, newline="\r\n") as f:
        f.write(text)


def hand_page(file):
    """A hand-written page: its first line is "<!-- title: TITLE -->", the rest its body."""
    text = read(os.path.join(HERE, "pages", file))
    first, body = text.split("\n", 1)
    title = re.match(r"<!-- title: (.*) -->", first).group(1)
    return title, body


def example_table(name):
    rows = ""
    for macro, before, after in examples.get(name, []):
        rows += (
            f'<tr><td><code>{html.escape(macro)}</code></td><td><pre>{html.escape(unescape(before))}</pre></td>'
            f"<td><pre>{html.escape(unescape(after))}</pre></td></tr>\n"
        )
    if not rows:
        return ""
    return '<table class="ex"><tr><th>マクロ行</th><th>変換前</th><th>変換後</th></tr>\n' + rows + "</table>\n"


family_files = []
for n, (caption, items) in enumerate(families + [top], start=1):
    family_files.append((f"menu{n:02d}.html", caption, items))

for file, caption, items in family_files:
    intro = os.path.join(HERE, "pages", "menu", file)
    body = read(intro) if os.path.exists(intro) else ""
    body += "<ul class=\"toc\">\n"

    def flat(items, path):
        for it in items:
            if it is None or (not isinstance(it[1], list) and it[0] not in commands):
                continue  # a separator, or the macro menu's run-time entries
            if isinstance(it[1], list):
                yield from flat(it[1], path + [it[0]])
            else:
                yield it, path

    entries = list(flat(items, [caption]))
    for (name, cap), path in entries:
        body += f'<li><a href="#c{commands[name]["id"]}">{html.escape(" ＞ ".join(path[1:] + [cap]))}</a></li>\n'
    body += "</ul>\n"
    for (name, cap), path in entries:
        c = commands[name]
        anchor = f'c{c["id"]}'
        anchors[name] = f"{file}#{anchor}"
        where = " ＞ ".join(path + [cap])
        body += f'<h2><a name="{anchor}" id="{anchor}"></a>{html.escape(cap)}</h2>\n'
        body += f'<p class="path">メニュー: {html.escape(where)}（コマンド番号 {c["id"]}）</p>\n'
        kw = c["keyword"]
        if name in notes:
            body += f"<p>{notes[name]}</p>\n"
        elif kw in keyword_help:
            body += f"<p>{html.escape(keyword_help[kw][2])}。</p>\n"
        if kw in keyword_help:
            line = (kw + " " + (c["args"] or keyword_help[kw][1])).strip()
            body += (
                f'<p>マクロに記録される行: <code>{html.escape(line)}</code>'
                f'（<a href="keywords.html#kw-{kw}">{kw}</a>）</p>\n'
            )
            index.append((kw, anchors[name]))
        else:
            body += "<p>マクロには記録されません。</p>\n"
        body += example_table(name)
        index.append((f"{cap}（{path[-1] if len(path) > 1 else caption}）", anchors[name]))
    write_page(file, caption, body)

# The keyword reference, from the keyword table.
writers = {}
for name, c in commands.items():
    if c["keyword"] in keyword_help and name in anchors:
        writers.setdefault(c["keyword"], []).append(name)
body = read(os.path.join(HERE, "pages", "keywords-intro.html"))
body += '<table class="kw"><tr><th>キーワード</th><th>引数</th><th>働き</th><th>メニュー</th></tr>\n'
for name, args, help_text in keywords:
    links = ", ".join(f'<a href="{anchors[w]}">{w}</a>' for w in writers.get(name, []))
    body += (
        f'<tr><td><a name="kw-{name}" id="kw-{name}"></a><code>{name}</code></td>'
        f"<td><code>{html.escape(args)}</code></td><td>{html.escape(help_text)}</td><td>{links}</td></tr>\n"
    )
    index.append((name, f"keywords.html#kw-{name}"))
body += "</table>\n"
write_page("keywords.html", "マクロキーワード一覧", body)

# The hand-written pages, in the order of the contents.
HAND = ["index.html", "selection.html", "macro.html", "menus.html", "multifile.html", "settings.html", "qlark.html"]
hand_titles = {}
for file in HAND:
    title, body = hand_page(file)
    hand_titles[file] = title
    if file == "index.html":
        body += "<h2>メニューごとのページ</h2>\n<ul>\n"
        body += "".join(f'<li><a href="{f}">{html.escape(c)}</a></li>\n' for f, c, _ in family_files)
        body += '<li><a href="keywords.html">マクロキーワード一覧</a></li>\n</ul>\n'
    write_page(file, title, body)
    for term in re.findall(r'<a name="([^"]+)" id="[^"]+"></a>([^<]+)<', body):
        index.append((term[1].strip(), f"{file}#{term[0]}"))
    index.append((title, file))

with open(os.path.join(OUT, "help.css"), "w", encoding=ENC) as f:
    f.write(read(os.path.join(HERE, "help.css")))


# ---- contents, index and project
def sitemap(name, local):
    return (
        f'<LI> <OBJECT type="text/sitemap">\n<param name="Name" value="{html.escape(name)}">\n'
        f'<param name="Local" value="{local}">\n</OBJECT>\n'
    )


head = '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n<UL>\n'
tail = "</UL>\n</BODY>\n</HTML>\n"
toc = head + sitemap(hand_titles["index.html"], "index.html")
toc += sitemap("メニューのコマンド", family_files[0][0]) + "<UL>\n"
toc += "".join(sitemap(c, f) for f, c, _ in family_files) + "</UL>\n"
for file in HAND[1:]:
    toc += sitemap(hand_titles[file], file)
    if file == "macro.html":
        toc += "<UL>\n" + sitemap("マクロキーワード一覧", "keywords.html") + "</UL>\n"
toc += tail
seen = set()
hhk = head
for entry, local in sorted(index, key=lambda e: (e[0].lower(), e[1])):
    if (entry, local) in seen:
        continue
    seen.add((entry, local))
    hhk += sitemap(entry, local)
hhk += tail
files = [f for f, _, _ in family_files] + ["keywords.html"] + HAND + ["help.css"]
hhp = (
    "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=QlkTray.chm\nContents file=QlkTray.hhc\n"
    "Index file=QlkTray.hhk\nDefault topic=index.html\nDisplay compile progress=No\nFull-text search=Yes\n"
    "Language=0x411 Japanese\nTitle=Quenlark Tray ヘルプ\n\n[FILES]\n" + "\n".join(files) + "\n"
)
for name, text in (("QlkTray.hhc", toc), ("QlkTray.hhk", hhk), ("QlkTray.hhp", hhp)):
    with open(os.path.join(OUT, name), "w", encoding=ENC, newline="\r\n") as f:
        f.write(text)
