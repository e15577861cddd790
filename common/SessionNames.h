#pragma once
// The names of a session's files, which the capture writes and the export reads: session<N>/ under the
// working directory holds destinationFLA<N>.fla, imageBMP1.bmp, imageBMP2.bmp, ..., and, once exported,
// player.html, session<N>.png, session<N>.gif, guide.html and the edit session<N>.flickmere.json. While it
// records, the capture also keeps session<N>.steps.json there: what each press was about.
#include <string>

// The C-style writers put these together with a number in their own buffers.
constexpr char kSessionWord[] = "session";
constexpr char kPictureStem[] = "imageBMP";
constexpr char kPictureExtension[] = ".bmp";
constexpr char kDestinationStem[] = "destinationFLA";
constexpr char kDestinationExtension[] = ".fla";
constexpr char kTemplateFileName[] = "template.fla";
constexpr char kPlayerFileName[] = "player.html";
constexpr char kGuideFileName[] = "guide.html";
// The Markdown guide, in a folder of the user's choice beside its pictures.
constexpr char kGuideMarkdownName[] = "guide.md";

std::string SessionFolderName(int session);   // session<N>
std::string PictureFileName(int picture);     // imageBMP<k>.bmp
std::string DestinationFileName(int session); // destinationFLA<N>.fla
std::string ProjectFileName(int session);     // session<N>.flickmere.json
std::string AnimationFileName(int session);   // session<N>.png
std::string GifFileName(int session);         // session<N>.gif
std::string StepsFileName(int session);       // session<N>.steps.json
