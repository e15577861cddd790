// The takes the export's benchmarks share.
#include "BenchTakes.h"

#include "HeadlessChromium.h"
#include "common/ChangeDetection.h"
#include "export/codec/PngEncoder.h"
#include "export/take/SessionTimeline.h"
#include "state/FrameValues.h"
#include "tools/demotarget/DemoScene.h"

#include <cstdio>
#include <memory>

namespace exportbench {

using namespace exporttest;

namespace {

constexpr int kLineHeight = 16;
constexpr int kGlyphWidth = 8;

// A window-like scene that compresses as screenshots do: flat panels and lines of "text" made of a small
// set of glyphs that recur, in a few shades.
uint32_t g_random = 7;
uint32_t Next()
{
    g_random = g_random * 1103515245u + 12345u;
    return g_random >> 8;
}

void Fill(RgbImage& window, const Region& r, uint32_t rgb)
{
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x) {
            uint8_t* p = window.rgb.data() + (size_t(y) * window.width + x) * 3;
            p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
        }
}

// Lines of words over `background`; each glyph is one of 48 fixed 7 x 11 patterns.
void PaintText(RgbImage& window, const Region& r, uint32_t background)
{
    static const std::vector<uint8_t> glyphs = [] {
        std::vector<uint8_t> shapes(48 * 7 * 11);
        for (uint8_t& v : shapes)
            v = Next() % 3 == 0 ? uint8_t(Next() % 3 + 1) : 0;
        return shapes;
    }();
    Fill(window, r, background);
    for (int top = r.top + 2; top + 11 <= r.bottom; top += kLineHeight)
        for (int left = r.left + 4; left + kGlyphWidth <= r.right;) {
            const int letters = 2 + Next() % 8;
            for (int l = 0; l < letters && left + kGlyphWidth <= r.right; ++l, left += kGlyphWidth) {
                const uint8_t* glyph = glyphs.data() + (Next() % 48) * 7 * 11;
                for (int y = 0; y < 11; ++y)
                    for (int x = 0; x < 7; ++x)
                        if (glyph[y * 7 + x])
                            Fill(window, {left + x, top + y, left + x, top + y}, 0x202020 * glyph[y * 7 + x]);
            }
            left += kGlyphWidth;
        }
}

void PaintScene(RgbImage& window, const Region&)
{
    Fill(window, {0, 0, kWidth - 1, 29}, 0x2B579A);                  // title bar
    PaintText(window, {0, 30, kWidth - 1, 53}, 0xF3F3F3);            // menu
    PaintText(window, {0, 54, 259, 1055}, 0xE8E8E8);                 // side panel
    PaintText(window, {260, 54, kWidth - 1, 1055}, 0xFFFFFF);        // document
    PaintText(window, {0, 1056, kWidth - 1, kHeight - 1}, 0xD0D0D0); // status bar
}

} // namespace

void CBenchSession::Finish()
{
    const CResult<SessionTimeline> timeline = DecodeSession(m_session.WorkDir(), 1);
    if (!timeline) {
        m_problem = timeline.Error().text;
        return;
    }
    for (const TimelineStep& step : timeline->steps)
        if (step.frames != kStepFrames)
            m_problem =
                "a step lasts " + std::to_string(step.frames) + " frames, not " + std::to_string(kStepFrames);
    fs::create_directory(WorkDir() / "frames");
    for (int s = 1; s <= m_session.Steps(); ++s) {
        const std::vector<uint8_t> png = *EncodePng(m_session.StageAtStep(s, true));
        char name[32];
        std::snprintf(name, sizeof name, "frames/%03d.png", s);
        testfiles::WriteText((WorkDir() / name).string(), std::string(png.begin(), png.end()));
    }
}

std::vector<uint16_t> Grab16(const RgbImage& image)
{
    std::vector<uint16_t> words(image.rgb.size() / 3);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = uint16_t((image.rgb[3 * i] >> 3) << 10 | (image.rgb[3 * i + 1] >> 3) << 5 |
                            image.rgb[3 * i + 2] >> 3);
    return words;
}

// Typing into the document one word a step, with now and then a new status and a highlighted entry in
// the side panel; the pointer follows the caret or goes to the panel.
CBenchSession& Typing()
{
    // Destroyed at exit, which removes its scratch folder.
    static const std::unique_ptr<CBenchSession> bench([] {
        auto* b = new CBenchSession(kWidth, kHeight, 4 * kChanges);
        CRecordedSession& session = b->Session();
        session.Step({{0, 0, kWidth - 1, kHeight - 1}}, {900, 500}, PaintScene);
        const auto document = [](RgbImage& w, const Region& r) { PaintText(w, r, 0xFFFFFF); };
        int caretX = 300, caretY = 70 + 40 * kLineHeight;
        for (int s = 1; s <= kChanges; ++s) {
            // A press closes the step before with these values: the first span is the frame value less
            // the offset, every later one the frame value, as the offset stays.
            g_frameValues = {kStepFrames + (s == 1 ? 5 : 0), 5};
            const int width = kGlyphWidth * (3 + Next() % 6);
            if (caretX + width > kWidth - 20)
                caretX = 300, caretY += kLineHeight;
            std::vector<Region> regions{{caretX, caretY, caretX + width - 1, caretY + kLineHeight - 1}};
            CursorPoint cursor{caretX + width + 30, caretY + 20};
            caretX += width;
            if (s % 5 == 0)
                regions.push_back({1600, 1058, 1899, 1077});
            if (s % 10 == 0) {
                const int row = 60 + 24 * (s / 10);
                regions.push_back({4, row, 255, row + 23});
                cursor = {120, row + 8};
            }
            session.Step(regions, cursor, document);
        }
        b->Finish();
        return b;
    }());
    return *bench;
}

// A settings page as headless Chromium renders it (antialiased text, shadows, a gradient), at a few
// states of a user's visit: each state is a screenshot, and each step's pictures are the boxes the
// program's own change detection finds between two screenshots.
constexpr int kPageWidth = 1280;
constexpr int kPageHeight = 800;
const char kPage[] = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
body { margin: 0; font: 14px sans-serif; background: #f3f3f3; color: #202020; }
header { height: 48px; background: linear-gradient(#2b579a, #1e3f73); color: #fff; font-size: 18px;
         padding: 12px 20px; box-sizing: border-box; }
nav { position: absolute; top: 48px; bottom: 0; width: 220px; background: #e8e8e8; padding-top: 8px; }
nav div { padding: 8px 20px; } nav .on { background: #cce4f7; border-left: 3px solid #2b579a; }
main { position: absolute; left: 240px; top: 68px; right: 20px; }
.card { background: #fff; border-radius: 6px; box-shadow: 0 1px 4px rgba(0,0,0,.2); padding: 16px; margin-bottom: 16px; }
input[type=text] { width: 360px; font: 14px sans-serif; padding: 4px; }
button { font: 14px sans-serif; padding: 6px 14px; } .menu { position: absolute; left: 250px; top: 190px; width: 200px;
background: #fff; box-shadow: 0 4px 12px rgba(0,0,0,.3); display: none; } .menu div { padding: 6px 12px; }
</style></head><body><header>Settings</header><nav><div>General</div><div id="n2">Appearance</div><div>Privacy</div>
<div>Notifications</div><div>About</div></nav><main><div class="card"><h3>Profile</h3><p>Name
<input id="name" type="text" value=""></p><p><label><input id="mail" type="checkbox"> Send me a weekly summary by
e-mail</label></p><button id="save">Save</button> <span id="saved"></span></div><div class="card"><h3>Language</h3>
<button id="lang">English &#9662;</button><div class="menu" id="menu"><div>Deutsch</div><div>English</div>
<div>Fran&ccedil;ais</div><div>&#26085;&#26412;&#35486;</div></div><p>Lorem ipsum dolor sit amet, consectetur
adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis
nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo consequat.</p></div></main>
<script>
var state = Number(location.hash.slice(1)) || 0;
document.getElementById("name").value = "J\u00fcrgen Schmidt".slice(0, Math.min(state, 6) * 2);
if (state >= 7) document.getElementById("mail").checked = true;
if (state >= 8 && state < 10) document.getElementById("menu").style.display = "block";
if (state == 9) document.getElementById("menu").children[0].style.background = "#cce4f7";
if (state >= 10) document.getElementById("lang").innerHTML = "Deutsch &#9662;";
if (state >= 11) document.getElementById("n2").className = "on";
if (state >= 12) document.getElementById("saved").textContent = "Saved.";
</script></body></html>)html";
// Screenshots of `html` at each of `cursors.size()` states ("#0", "#1", ...), recorded as a take whose
// pictures are the boxes the program's own change detection finds between two screenshots. With
// `grab15`, every colour is cut to 5 bits a channel and widened again, as a grab of a 15-bit screen is.
CBenchSession* RecordPageStates(const char* html, int width, int height,
                                const std::vector<CursorPoint>& cursors, bool grab15)
{
    auto* b = new CBenchSession(width, height, 4 * int(cursors.size()));
    testfiles::CScratchDir shots;
    testfiles::WriteText(shots.File("page.html"), html);
    std::vector<RgbImage> states;
    for (size_t state = 0; state < cursors.size(); ++state) {
        testfiles::CScratchDir profile;
        const std::string png = shots.File("shot.png"), rgb = shots.File("shot.rgb");
        std::string output;
        if (RunCommand(ChromiumCommand(profile, 60) + " --window-size=" + std::to_string(width) + "," +
                           std::to_string(height) + " --screenshot=" + Quoted(png) + " " +
                           Quoted("file://" + shots.File("page.html") + "#" + std::to_string(state)),
                       output) != 0 ||
            RunCommand("ffmpeg -v error -y -i " + Quoted(png) + " -f rawvideo -pix_fmt rgb24 " + Quoted(rgb),
                       output) != 0) {
            b->SetProblem("no screenshot of the page: " + output);
            return b;
        }
        std::vector<uint8_t> pixels = testfiles::ReadBytes(rgb);
        if (pixels.size() != size_t(width) * height * 3) {
            b->SetProblem("a screenshot of another size");
            return b;
        }
        if (grab15)
            for (uint8_t& v : pixels)
                v = uint8_t((v >> 3) << 3 | v >> 5);
        states.push_back({width, height, pixels});
    }
    CRecordedSession& session = b->Session();
    const auto copyState = [&](size_t state) {
        return [&states, state, width](RgbImage& window, const Region& r) {
            for (int y = r.top; y <= r.bottom; ++y)
                std::copy_n(states[state].rgb.begin() + (size_t(y) * width + r.left) * 3, r.Width() * 3,
                            window.rgb.begin() + (size_t(y) * width + r.left) * 3);
        };
    };
    session.Step({{0, 0, width - 1, height - 1}}, cursors[0], copyState(0));
    for (size_t state = 1; state < states.size(); ++state) {
        g_frameValues = {kStepFrames + (state == 1 ? 5 : 0), 5};
        const std::vector<uint16_t> before = Grab16(states[state - 1]), after = Grab16(states[state]);
        Region regions[kMaxChangedRegions];
        const int n = DetectChanges(before.data(), after.data(), width, height, width, regions);
        if (n == 0) {
            b->SetProblem("state " + std::to_string(state) + " changes nothing");
            return b;
        }
        session.Step(std::vector<Region>(regions, regions + n), cursors[state], copyState(state));
    }
    b->Finish();
    return b;
}

CBenchSession& SettingsPage()
{
    // Destroyed at exit, which removes its scratch folder.
    static const std::unique_ptr<CBenchSession> bench(RecordPageStates(kPage, kPageWidth, kPageHeight,
                                                                       {{400, 150},
                                                                        {420, 150},
                                                                        {430, 150},
                                                                        {440, 150},
                                                                        {450, 150},
                                                                        {460, 150},
                                                                        {470, 150},
                                                                        {262, 188},
                                                                        {300, 280},
                                                                        {310, 320},
                                                                        {320, 300},
                                                                        {90, 100},
                                                                        {262, 250}},
                                                                       false));
    return *bench;
}

// An admin page of users: a search, a row's menu that opens and closes, an edit dialog over the dimmed
// page that opens and closes, a note that the change was saved.
const char kWebApp[] = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
body { margin: 0; font: 13px "DejaVu Sans", sans-serif; color: #1f2937; background: #f5f6f8; }
header { height: 44px; background: #1e293b; color: #e2e8f0; display: flex; align-items: center; padding: 0 16px;
         font-weight: bold; } header span { margin-left: auto; font-weight: normal; font-size: 12px; }
aside { position: absolute; top: 44px; bottom: 0; width: 168px; background: #fff; border-right: 1px solid #e5e7eb; }
aside div { padding: 9px 18px; } aside .on { background: #e0ecff; color: #1d4ed8; font-weight: bold; }
main { position: absolute; left: 184px; top: 60px; right: 16px; }
h2 { margin: 0 0 12px; font-size: 18px; } input { font: 13px "DejaVu Sans", sans-serif; padding: 5px 8px;
border: 1px solid #cbd5e1; border-radius: 4px; width: 220px; } table { width: 100%; border-collapse: collapse;
background: #fff; margin-top: 12px; box-shadow: 0 1px 2px rgba(0,0,0,.08); } th, td { text-align: left;
padding: 8px 10px; border-bottom: 1px solid #eef0f3; } th { background: #f8fafc; font-size: 12px; color: #64748b; }
tr.sel td { background: #eff6ff; } .badge { padding: 2px 8px; border-radius: 9px; font-size: 11px; }
.active { background: #dcfce7; color: #166534; } .off { background: #fee2e2; color: #991b1b; }
.menu { position: absolute; right: 10px; top: 150px; width: 150px; background: #fff; border-radius: 6px;
box-shadow: 0 6px 18px rgba(0,0,0,.22); padding: 4px 0; display: none; } .menu div { padding: 7px 14px; }
.shade { position: fixed; inset: 0; background: rgba(15,23,42,.45); display: none; }
.dialog { position: fixed; left: 190px; top: 120px; width: 420px; background: #fff; border-radius: 8px;
box-shadow: 0 12px 32px rgba(0,0,0,.3); padding: 18px 20px; display: none; } .dialog label { display: block;
margin: 10px 0 4px; color: #475569; } .dialog input { width: 360px; } .buttons { text-align: right; margin-top: 16px; }
button { font: 13px "DejaVu Sans", sans-serif; padding: 6px 14px; border-radius: 4px; border: 1px solid #cbd5e1;
background: #fff; } button.primary { background: #2563eb; color: #fff; border-color: #2563eb; }
.note { position: fixed; right: 16px; bottom: 16px; background: #166534; color: #fff; padding: 10px 16px;
border-radius: 6px; display: none; }
</style></head><body><header>Acme Admin<span>ada@acme.example &#9662;</span></header>
<aside><div>Dashboard</div><div class="on">Users</div><div>Teams</div><div>Billing</div><div>Audit log</div>
<div>Settings</div></aside><main><h2>Users</h2><input id="q" placeholder="Search users"> <button>Invite</button>
<table><tr><th>Name</th><th>E-mail</th><th>Role</th><th>Status</th><th></th></tr><tbody id="rows"></tbody></table>
<div class="menu" id="menu"><div>Edit</div><div>Reset password</div><div>Deactivate</div></div></main>
<div class="shade" id="shade"></div><div class="dialog" id="dialog"><h3 style="margin:0">Edit user</h3>
<label>Name</label><input id="name"><label>E-mail</label><input id="mail"><label>Role</label><input id="role">
<div class="buttons"><button>Cancel</button> <button class="primary">Save</button></div></div>
<div class="note" id="note">Changes saved</div>
<script>
var users = [["Ada Lovelace","ada@acme.example","Owner",1],["Alan Turing","alan@acme.example","Admin",1],
["Grace Hopper","grace@acme.example","Developer",1],["Edsger Dijkstra","edsger@acme.example","Developer",0],
["Barbara Liskov","barbara@acme.example","Reviewer",1],["Donald Knuth","don@acme.example","Author",1],
["Frances Allen","fran@acme.example","Developer",0],["Ken Thompson","ken@acme.example","Admin",1],
["Margaret Hamilton","margaret@acme.example","Lead",1],["Niklaus Wirth","niklaus@acme.example","Reviewer",1]];
var state = Number(location.hash.slice(1)) || 0;
var query = ["", "a", "al", "al", "al", "al", "al", "al", "al", "", "", ""][state];
if (state >= 7) users[1][2] = "Security lead";
var rows = "";
users.forEach(function (u, i) { if (u[0].toLowerCase().indexOf(query) < 0) return;
  var hover = (state == 3 && i == 1) || (state == 10 && i == 2);
  rows += "<tr" + (state >= 5 && state <= 8 && i == 1 ? " class=sel" : hover ? " style='background:#f1f5f9'" : "") +
  "><td>" + u[0] + "</td><td>" + u[1] + "</td><td>" + u[2] + "</td><td><span class='badge " +
  (u[3] ? "active'>Active" : "off'>Inactive") + "</span></td><td>&#8943;</td></tr>"; });
document.getElementById("rows").innerHTML = rows;
document.getElementById("q").value = query;
if (state == 4) document.getElementById("menu").style.display = "block";
if (state == 6) { document.getElementById("shade").style.display = "block";
  document.getElementById("dialog").style.display = "block"; document.getElementById("name").value = users[1][0];
  document.getElementById("mail").value = users[1][1]; document.getElementById("role").value = "Security lead"; }
if (state == 8) document.getElementById("note").style.display = "block";
if (state == 11) document.querySelector("aside .on").className = "", document.querySelectorAll("aside div")[2].className = "on";
</script></body></html>)html";

CBenchSession& WebApp()
{
    static const std::unique_ptr<CBenchSession> bench(RecordPageStates(kWebApp, 800, 560,
                                                                       {{300, 100},
                                                                        {320, 100},
                                                                        {330, 100},
                                                                        {700, 140},
                                                                        {760, 150},
                                                                        {700, 160},
                                                                        {740, 165},
                                                                        {560, 395},
                                                                        {640, 500},
                                                                        {300, 100},
                                                                        {400, 200},
                                                                        {60, 130}},
                                                                       true));
    return *bench;
}

CBenchSession& DemoTake()
{
    static const std::unique_ptr<CBenchSession> bench([] {
        DemoScene scene;
        const auto picture = [&scene] {
            RgbImage image{scene.width, scene.height,
                           std::vector<uint8_t>(size_t(scene.width) * scene.height * 3)};
            for (int y = 0; y < scene.height; ++y)
                for (int x = 0; x < scene.width; ++x) {
                    const uint32_t rgb = DemoPixel(scene, x, y);
                    uint8_t* p = image.rgb.data() + (size_t(y) * scene.width + x) * 3;
                    p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
                }
            return image;
        };
        const auto copy = [](const RgbImage& from) {
            return [from](RgbImage& window, const Region& r) {
                for (int y = r.top; y <= r.bottom; ++y)
                    std::copy_n(from.rgb.begin() + (size_t(y) * from.width + r.left) * 3, r.Width() * 3,
                                window.rgb.begin() + (size_t(y) * from.width + r.left) * 3);
            };
        };
        auto* b = new CBenchSession(scene.width, scene.height, 20);
        CRecordedSession& session = b->Session();
        RgbImage before = picture();
        session.Step({{0, 0, scene.width - 1, scene.height - 1}}, {60, 80}, copy(before));
        // As ./run.sh's demo: a square inside one cell of the comparison grid, one across four cells, one
        // more inside a cell.
        const DemoSquare squares[] = {{40, 20, 0xE02020}, {150, 90, 0x20C040}, {260, 150, 0x2040E0}};
        const CursorPoint cursors[] = {{70, 70}, {170, 110}, {280, 170}};
        for (int s = 0; s < 3; ++s) {
            g_frameValues = {kStepFrames + (s == 0 ? 5 : 0), 5};
            scene.squares.push_back(squares[s]);
            const RgbImage after = picture();
            const std::vector<uint16_t> a = Grab16(before), c = Grab16(after);
            Region regions[kMaxChangedRegions];
            const int n = DetectChanges(a.data(), c.data(), scene.width, scene.height, scene.width, regions);
            session.Step(std::vector<Region>(regions, regions + n), cursors[s], copy(after));
            before = after;
        }
        b->Finish();
        return b;
    }());
    return *bench;
}

} // namespace exportbench
