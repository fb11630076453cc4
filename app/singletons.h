#pragma once

// The process-wide window objects: constructed before the program starts, their windows made
// later by the bar (or, for the settings dialog, at each opening).
#include "app/quorvel_app.h"
#include "app/quorvel_dlg.h"
#include "media/player_browser_dlg.h"
#include "media/player_frame_dlg.h"
#include "media/playlist_dlg.h"
#include "monitor/balloon_dlg.h"
#include "news/rss_dlg.h"
#include "settings/options_dlg.h"
#include "ui/about_dlg.h"
#include "ui/search_dlg.h"

namespace qv {

extern CQuorvelApp theApp;
extern CQuorvelDlg theBar;
extern CPlaylistDlg thePlaylist;
extern CRssDlg theNews;
extern CBalloonDlg theBalloon;
extern CSearchDlg theSearchBox;
extern CAboutDlg theAboutBox;
extern CDODadevoDlg thePlayerFrame;
extern CDODadevo1Dlg thePlayerBrowser;
extern COptionsDlg theOptions;

} // namespace qv
