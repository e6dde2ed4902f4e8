#pragma once

class AppController;

// Every notice from below the views (platform::Notices) opens the dashboard with the notice
// across its top: the user asked for something that did not happen and should see why,
// without a dialog in the way. Lasts as long as `app`.
void showNoticesInDashboard(AppController* app);
