# Starts and stops the local Firebird server that the tests reach on loopback ("localhost:path").
# Sourced by scripts/test and scripts/demo. The server runs as the user firebird, under fbguard,
# without systemd; the SYSDBA password is set to the one the worker uses by default.

FIREBIRD_PASSWORD_FILE=/etc/firebird/3.0/SYSDBA.password
WORKER_SYSDBA_PASSWORD=ambertide

firebird_server_running() {
  # The server answers on its port when it is up.
  (exec 3<>/dev/tcp/localhost/3050) 2>/dev/null
}

# Starts the server unless it runs already; sets FIREBIRD_STARTED_HERE=1 when this call started it.
firebird_server_start() {
  FIREBIRD_STARTED_HERE=0
  if firebird_server_running; then
    # Started elsewhere (the package's own start, say): it may still have the random password.
    firebird_set_sysdba_password
    return 0
  fi
  mkdir -p /run/firebird3.0
  chown firebird:firebird /run/firebird3.0
  su -s /bin/sh firebird -c "/usr/sbin/fbguard -daemon -forever -pidfile /run/firebird3.0/fbguard.pid"
  local tries=0
  until firebird_server_running; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
      echo "The Firebird server did not start within 10 seconds" >&2
      return 1
    fi
    sleep 0.1
  done
  FIREBIRD_STARTED_HERE=1
  firebird_set_sysdba_password
}

# The package writes a random SYSDBA password; the worker's default is "ambertide".
firebird_set_sysdba_password() {
  local current
  current=$(sed -n 's/^ISC_PASSWORD="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' "$FIREBIRD_PASSWORD_FILE")
  if [ "$current" = "$WORKER_SYSDBA_PASSWORD" ]; then
    return 0
  fi
  local scratch
  scratch=$(mktemp -d)
  chmod 777 "$scratch"
  # Any database will do to reach the security database; a scratch one is created and dropped.
  printf "CREATE DATABASE 'localhost:%s/scratch.fdb' USER 'SYSDBA' PASSWORD '%s';\nALTER USER SYSDBA PASSWORD '%s';\nCOMMIT;\nDROP DATABASE;\n" \
    "$scratch" "$current" "$WORKER_SYSDBA_PASSWORD" | isql-fb -q >/dev/null
  rm -rf "$scratch"
  sed -i "s/^ISC_PASSWORD=.*/ISC_PASSWORD=\"$WORKER_SYSDBA_PASSWORD\"/" "$FIREBIRD_PASSWORD_FILE"
}

# Stops the server that firebird_server_start started: its guard, then the server the guard ran.
firebird_server_stop() {
  local guard server
  guard=$(cat /run/firebird3.0/fbguard.pid 2>/dev/null) || return 0
  server=$(pgrep -P "$guard" -x firebird || true)
  kill "$guard" 2>/dev/null || true
  local tries=0
  while firebird_server_running && [ "$tries" -lt 100 ]; do
    tries=$((tries + 1))
    sleep 0.1
  done
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
  fi
}
