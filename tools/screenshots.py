#!/usr/bin/env python3
"""Takes the README's pictures of the running program (make screenshots).

Run by tools/screenshots.sh inside its own Xvfb screen and Wine prefix. The program runs from a
scratch folder with a prepared playlist; its five feeds and the video site are served by a
loopback server on an ephemeral port (the video site through the prefix's proxy setting). The
program is driven the way a user drives it: menu commands posted to the bar, the pointer moved
over the bar's zones, clicks on its lists, text typed into its boxes. Every picture is written
into docs/; a window that does not show as expected is taken as it is, with a warning.

usage: screenshots.py REPO_ROOT WORK_FOLDER [--bar-at-200]

With --bar-at-200 (the prefix at 192 DPI) it only takes the bar at 200 % and sets it beside the
bar at 100 % of the run before: docs/bar-scales.png."""

import http.server
import re
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path
from urllib.parse import parse_qs, urlsplit

SCREEN = (1280, 800)
MARGIN = 12
BAR_SIZE = (236, 18)
BAR_SCALE = 3

FEEDS = {
    "World": ["Leaders agree on a new climate fund", "Rail strike ends after two weeks",
              "Floods ease in the river valley", "Record turnout in local elections",
              "Museum returns a lost painting", "Ferry service resumes to the islands"],
    "Tech": ["A faster browser engine ships today", "Chip makers report strong demand",
             "How to keep old laptops useful", "Open-source office suite turns 20",
             "New phones drop the charger port", "Five tips for safer passwords"],
    "Science": ["Comet visible to the naked eye", "Deep-sea vents host new species",
                "A battery that charges in minutes", "Bees recognise human faces"],
    "Sport": ["Home side wins the cup final", "Marathon record falls in Berlin",
              "Young driver takes first pole", "Tennis star announces retirement"],
    "Weather": ["Sunny spells and light winds today", "Frost expected overnight",
                "Storm warning for the coast", "Warmest spring day so far"],
}
# A feed in other scripts as news sites write them: titles in CDATA, or with entities (which CDATA
# would keep as written); it takes the place of the fifth feed.
WORLD_FEED = ("Κόσμος", ["Η Αθήνα φιλοξενεί τη σύνοδο για το κλίμα",
                         "Νέα γραμμή μετρό &amp; λεωφορείων στη Θεσσαλονίκη",
                         "Москва: выставка «Русский авангард» открыта",
                         "Новый мост через Волгу &#8212; через год",
                         "Αγώνας δρόμου στην κλασική διαδρομή του Μαραθώνα",
                         "Погода: тёплая осень на юге России"])

PLAYLIST = [("Morning Jazz Radio", "/media/jazz.asx"), ("Ocean Waves", "/media/ocean.wmv"),
            ("City Lights (live)", "/media/city.rm"), ("Evening Podcast", "/media/evening.mp3"),
            ("Mountain Trail", "/media/trail.wmv"), ("Rainy Day Piano", "/media/piano.asx"),
            ("Late Night Talk", "/media/talk.ram")]

VIDEOS = ["Sunset over the <b>harbour</b> in 4K", "Timelapse: <b>sunset</b> clouds",
          "Beach <b>sunset</b> with waves &amp; gulls", "Desert <b>sunset</b> drive",
          "Mountain <b>sunset</b> hike", "City skyline at <b>sunset</b>",
          "Relaxing <b>sunset</b> music", "Painting a <b>sunset</b> in oils",
          "It&#39;s <b>sunset</b> on the lake", "<b>Sunset</b> from the space station"]


# ---- the loopback server: feeds, the video site's results page, media ----

def rss(title, headlines, port):
    items = "".join(
        f"<item><title>{text}</title><link>http://127.0.0.1:{port}/news/{title.lower()}/{n}"
        f"</link><description>{text}.</description></item>" for n, text in enumerate(headlines))
    return (f'<?xml version="1.0" encoding="windows-1252"?><rss version="2.0"><channel>'
            f"<title>{title}</title><link>http://127.0.0.1:{port}/</link>{items}</channel></rss>")


def cdata_rss(title, headlines, port):
    items = "".join(
        f"<item>\n  <title>{text if '&' in text else f'<![CDATA[ {text} ]]>'}</title>\n"
        f"  <link>http://127.0.0.1:{port}/news/world/{n}?lang=el&amp;id={n}</link>\n</item>\n"
        for n, text in enumerate(headlines))
    return (f'<?xml version="1.0" encoding="utf-8"?><rss version="2.0"><channel>'
            f"<title>{title}</title><link>http://127.0.0.1:{port}/</link>{items}</channel></rss>")


def results_page():
    rows = "".join(f'<div><a class="newvtitlelink" href="/watch?v=clip{n:07d}">{title}</a><br/>'
                   f"<span>{n + 2}:{n * 7 % 60:02d}</span></div>" for n, title in enumerate(VIDEOS))
    return f"<html><body>{rows}</body></html>"


class Site(http.server.BaseHTTPRequestHandler):
    port = 0

    def do_GET(self):
        # A proxy request carries the absolute URL; a direct one only the path.
        url = urlsplit(self.path)
        if url.path.startswith("/feeds/"):
            title = url.path[len("/feeds/"):].removesuffix(".xml").capitalize()
            body, kind = rss(title, FEEDS.get(title, []), self.port), "application/rss+xml"
            if title == "World-unicode":
                body = cdata_rss(WORLD_FEED[0], WORLD_FEED[1], self.port)
        elif url.path == "/results":
            body, kind = results_page(), "text/html"
        else:
            body, kind = "<html><body>Quorvel</body></html>", "text/html"
        data = body.encode("utf-8" if 'encoding="utf-8"' in body else "cp1252")
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


def start_site():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Site)
    Site.port = server.server_address[1]
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# ---- the prepared program folder and settings ----

def prepare(work, exe, port):
    app = work / "app"
    shutil.rmtree(app, ignore_errors=True)
    app.mkdir(parents=True)
    shutil.copy2(exe, app / "Quorvel.exe")
    (app / "QVPlaylist.ini").write_bytes("".join(
        f"<song>{name}</song><link>http://127.0.0.1:{port}{path}</link>\n"
        for name, path in PLAYLIST).encode("cp1252"))
    feeds = "".join(f'"Rss{n}"="{title}^http://127.0.0.1:{port}/feeds/{title.lower()}.xml"\n'
                    for n, title in enumerate(FEEDS, 1))
    feeds = feeds.replace("Weather^", f"{WORLD_FEED[0]}^").replace("weather.xml", "world-unicode.xml")
    registry = work / "settings.reg"
    registry.write_text(  # UTF-16 with its mark: the one form regedit reads in every script
        "Windows Registry Editor Version 5.00\n\n[-HKEY_CURRENT_USER\\Software\\Quorvel]\n\n"
        f"[HKEY_CURRENT_USER\\Software\\Quorvel]\n{feeds}"
        '"UpdateFrequency"=dword:00000000\n"DefaultRss"=dword:00000001\n\n'
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n"
        f'"ProxyEnable"=dword:00000001\n"ProxyServer"="127.0.0.1:{port}"\n', encoding="utf-16")
    windows_path = "Z:" + str(registry).replace("/", "\\")
    subprocess.run(["wine", "regedit", "/S", windows_path], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return app / "Quorvel.exe"


# ---- driving the program ----

class Driver:
    """The helper program that lists Quorvel's windows and posts commands to them."""

    def __init__(self, exe):
        self.process = subprocess.Popen(["wine", str(exe)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        answer = []
        while (reply := self.process.stdout.readline()) and reply.rstrip("\r\n") != ".":
            answer.append(reply.rstrip("\r\n"))
        return answer

    @staticmethod
    def parse(lines):
        found = []
        for line in lines:
            x, y, width, height, *title = line.split(" ", 4)
            found.append((int(x), int(y), int(width), int(height), " ".join(title)))
        return found

    def windows(self):
        return self.parse(self.ask("windows"))

    def find(self, anchor, other):
        """The window that holds both controls, when it is on the screen."""
        found = [w for w in self.parse(self.ask(f"find {RESOURCE[anchor]} {RESOURCE[other]}"))
                 if on_screen(w)]
        return found[0] if found else None

    def close(self):
        self.ask("quit")
        self.process.wait(timeout=10)


def on_screen(window):
    x, y, width, height, _ = window
    return x + width > 0 and y + height > 0 and x < SCREEN[0] and y < SCREEN[1]


def settled_windows(driver, at_least=0.6, at_most=4.0):
    """The visible windows once they have stopped moving (panels slide, boxes fade)."""
    time.sleep(at_least)
    last, waited = driver.windows(), at_least
    while waited < at_most:
        time.sleep(0.3)
        waited += 0.3
        now = driver.windows()
        if now == last:
            break
        last = now
    time.sleep(0.4)  # the last fade steps do not move the window
    return last


def changed(before, after):
    return [w for w in after if w not in before and on_screen(w)]


def pointer(x, y, click=False):
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=False)
    if click:
        subprocess.run(["xdotool", "click", "1"], check=False)


def type_text(text, enter=False):
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=False)
    if enter:
        subprocess.run(["xdotool", "key", "Return"], check=False)


# ---- pictures ----

def grab(work, driver):
    shot = work / "screen.png"
    driver.ask("stash")
    try:
        xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    finally:
        driver.ask("unstash")
    with open(shot, "wb") as out:
        subprocess.run(["convert", "xwd:-", "png:-"], input=xwd, stdout=out, check=True)
    return shot


def union(windows, margin):
    left = max(0, min(w[0] for w in windows) - margin)
    top = max(0, min(w[1] for w in windows) - margin)
    right = min(SCREEN[0], max(w[0] + w[2] for w in windows) + margin)
    bottom = min(SCREEN[1], max(w[1] + w[3] for w in windows) + margin)
    return left, top, right - left, bottom - top


def save(work, driver, name, windows, scale=1, margin=MARGIN, folder=None):
    x, y, width, height = union(windows, margin)
    command = ["convert", str(grab(work, driver)), "-crop", f"{width}x{height}+{x}+{y}", "+repage"]
    if scale != 1:
        command += ["-filter", "point", "-resize", f"{scale * 100}%"]
    folder = folder or DOCS
    subprocess.run(command + ["-strip", str(folder / f"{name}.png")], check=True)
    print(f"  {folder.name}/{name}.png  {width * scale}x{height * scale}")


class Tour:
    def __init__(self, work, driver, bar_size=BAR_SIZE):
        self.work, self.driver = work, driver
        self.bar = self.await_bar(bar_size)

    def await_bar(self, bar_size):
        for _ in range(150):
            for window in self.driver.windows():
                if window[2:4] == bar_size:
                    return window
            time.sleep(0.2)
        raise SystemExit("the bar did not show within 30 seconds")

    def at_bar(self, x, y=8, click=False):
        pointer(self.bar[0] + x, self.bar[1] + y, click)

    def leave_bar(self):
        # Down through the bar's lowest row, as a hand leaves it: the balloon closes.
        self.at_bar(140, 16)
        time.sleep(0.2)
        pointer(SCREEN[0] // 2, SCREEN[1] - 40)
        time.sleep(0.8)

    def command(self, name):
        self.driver.ask(f"command {RESOURCE[name]}")

    def shoot(self, name, action, window=None, with_bar=True):
        # Boxes without the bar are centred on the screen; panels hang under the bar.
        """Runs an action and pictures what it showed, with the bar: the window that holds the
        given pair of controls, or else the windows that appeared or moved."""
        before = self.driver.windows()
        action()
        after = settled_windows(self.driver)
        shown = [w for w in changed(before, after) if w[2:4] != BAR_SIZE]
        if window:
            found = window() if callable(window) else self.driver.find(*window)
            shown = [found] if found else shown
        if not shown:
            print(f"  warning: {name}: no window showed; the screen where it would be is taken")
            centre = (SCREEN[0] // 2 - 200, SCREEN[1] // 2 - 120, 400, 240, "")
            shown = [(self.bar[0] - 120, 0, 480, 320, "") if with_bar else centre]
        save(self.work, self.driver, name, shown + ([self.bar] if with_bar else []))

    def titled(self, title):
        return lambda: next((w for w in self.driver.windows() if w[4] == title), None)

    def run(self):
        self.leave_bar()
        time.sleep(2)  # two refreshes, so that the rates have a difference to show
        bar = self.bar
        save(self.work, self.driver, "bar", [(bar[0] - 4, bar[1], bar[2] + 8, bar[3] + 4, "")], BAR_SCALE,
             margin=0)
        save(self.work, self.driver, "bar-100", [(bar[0] - 4, bar[1], bar[2] + 8, bar[3] + 4, "")],
             margin=0, folder=self.work)

        for section, x in (("cpu", 63), ("memory", 96), ("network", 140)):
            self.shoot(f"balloon-{section}", lambda x=x: self.at_bar(x))
            self.leave_bar()

        playlist = ("IDC_PLAYLIST_NAMES", "IDC_PLAYLIST_RESULTS")
        self.shoot("playlist", lambda: self.command("ID_TOGGLE_PLAYLIST"), playlist)
        panel = self.driver.find(*playlist)
        if panel:  # the first entry plays: the player fades in under the bar
            self.shoot("player", lambda: pointer(panel[0] + 40, panel[1] + 14, click=True))
            self.shoot("balloon-media", lambda: self.at_bar(22))
            self.at_bar(22, click=True)  # stop
            self.leave_bar()
        else:
            print("  warning: no playlist panel: no player pictures")
        self.command("ID_TOGGLE_PLAYLIST")
        settled_windows(self.driver)

        def video_search():
            self.at_bar(226, click=True)
            time.sleep(1.2)
            self.driver.ask(f"settext {RESOURCE['IDC_PLAYLIST_RESULTS']} "
                            f"{RESOURCE['IDC_PLAYLIST_QUERY']} sunset")
            self.driver.ask(f"ok {RESOURCE['IDC_PLAYLIST_RESULTS']}")
            self.leave_bar()
        self.shoot("playlist-search", video_search, playlist)
        self.at_bar(226, click=True)
        self.leave_bar()
        settled_windows(self.driver)

        news = ("IDC_NEWS_TABS", "IDC_NEWS_TITLES")
        self.shoot("news", lambda: self.command("ID_TOGGLE_NEWS"), news)
        panel = self.driver.find(*news)
        if panel:  # the fifth tab: the feed in Greek and Russian
            self.shoot("news-unicode", lambda: pointer(panel[0] + 200, panel[1] + 274, click=True),
                       news)
            pointer(panel[0] + 30, panel[1] + 272)  # over the first tab: how its feed fared
            time.sleep(1.5)
            save(self.work, self.driver, "news-tab-tip", [(panel[0], panel[1] + 230, 270, 80, "")])
        self.command("ID_TOGGLE_NEWS")
        settled_windows(self.driver)

        def web_search():
            self.command("ID_TOGGLE_WEB_SEARCH")
            time.sleep(0.8)
            self.driver.ask(f"settext {RESOURCE['IDC_SEARCH_ICON']} {RESOURCE['IDC_SEARCH_EDIT']} "
                            "weekend weather")
        self.shoot("search-box", web_search, ("IDC_SEARCH_ICON", "IDC_SEARCH_EDIT"),
                   with_bar=False)
        self.command("ID_TOGGLE_WEB_SEARCH")

        self.shoot("about", lambda: self.command("ID_ABOUT"), self.titled("About Quorvel"),
                   with_bar=False)
        self.driver.ask("close About Quorvel")
        # The settings dialog is modal: it comes last, and its Cancel lets Exit through.
        self.shoot("settings", lambda: self.command("ID_SETTINGS"), self.titled("Settings"),
                   with_bar=False)
        self.driver.ask("close Settings")
        time.sleep(0.5)
        self.command("ID_EXIT")


def resource_ids(root):
    text = (root / "res" / "resource.h").read_text()
    return {name: int(value) for name, value in re.findall(r"#define (\w+) (\d+)", text)}


def bar_at_200(work, driver):
    """The bar as the prefix's 192 DPI shows it, beside the bar at 100 % taken before."""
    tour = Tour(work, driver, (BAR_SIZE[0] * 2, BAR_SIZE[1] * 2))
    tour.leave_bar()
    time.sleep(2)
    bar = tour.bar
    save(work, driver, "bar-200", [(bar[0] - 8, bar[1], bar[2] + 16, bar[3] + 8, "")], margin=0,
         folder=work)
    # Side by side, 100 % on the left, with a gap of the screen's black between them.
    subprocess.run(["convert", str(work / "bar-100.png"), "(", str(work / "bar-200.png"),
                    "-background", "black", "-gravity", "west", "-splice", "16x0", ")",
                    "-background", "black", "-gravity", "center", "+append", "-strip",
                    str(DOCS / "bar-scales.png")], check=True)
    print("  docs/bar-scales.png")


def main(root, work, scaled=False):
    global DOCS, RESOURCE
    DOCS = root / "docs"
    DOCS.mkdir(exist_ok=True)
    RESOURCE = resource_ids(root)
    work.mkdir(parents=True, exist_ok=True)
    site = start_site()
    exe = prepare(work, root / "build/win/bin/Quorvel.exe", Site.port)
    program = subprocess.Popen(["wine", str(exe)], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    driver = Driver(root / "build/win/bin/quorvel_screenshot_driver.exe")
    try:
        if scaled:
            bar_at_200(work, driver)
        else:
            Tour(work, driver).run()
    finally:
        driver.close()
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()
        site.shutdown()


if __name__ == "__main__":
    main(Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve(), "--bar-at-200" in sys.argv[3:])
