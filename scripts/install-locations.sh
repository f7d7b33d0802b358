# Where scripts/install.sh puts each piece for the current user (sourced, not run).
app_id=com.quorin42.desktop
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
# Named after the application id, so it never meets the user's data folder ("Quorin 4.2").
app_home="$data_home/$app_id"
installed_bundle="$app_home/Quorin 4.2.app"
command_path="$HOME/.local/bin/quorin42"
desktop_path="$data_home/applications/$app_id.desktop"
icon_path="$data_home/icons/hicolor/scalable/apps/$app_id.svg"
metainfo_path="$data_home/metainfo/$app_id.metainfo.xml"
