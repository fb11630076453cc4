#include "app/singletons.h"

namespace qv {

// One translation unit, so they are constructed in this order and destroyed in reverse.
CQuorvelApp theApp;
CQuorvelDlg theBar;
CPlaylistDlg thePlaylist;
CRssDlg theNews;
CBalloonDlg theBalloon;
CSearchDlg theSearchBox;
CAboutDlg theAboutBox;
CDODadevoDlg thePlayerFrame;
CDODadevo1Dlg thePlayerBrowser;
COptionsDlg theOptions;

} // namespace qv
