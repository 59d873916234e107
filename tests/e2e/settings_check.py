"""Reads the settings file the way an outside program would, for the end-to-end tests.

settings_check.py write FILE STATE          writes STATE as the settings file
settings_check.py get FILE STATE KEY        prints the value the checks last saw
settings_check.py verify FILE STATE [PENDING [strict]]
    The file must parse as an INI file without duplicate sections or keys and hold each
    key of STATE (JSON, "Section/Key" -> text as the program reads it), or, for a key
    named in PENDING (JSON, key -> list), one of the values listed there: a save that may
    or may not have finished. With "strict" such a key must have taken a listed value.
    STATE is then updated to what the file holds.
"""
import configparser, json, sys


def unescape(raw):
    if len(raw) >= 2 and raw[0] == '"' and raw[-1] == '"':
        raw = raw[1:-1]
    return raw.replace('\\\\', '\\')


def read(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True, delimiters=('=',))
    parser.optionxform = str
    with open(path, encoding='utf-8') as f:
        parser.read_file(f)
    return {s + '/' + k: unescape(v) for s in parser.sections()
            for k, v in parser.items(s, raw=True)}


command, path, state_path = sys.argv[1:4]
state = json.load(open(state_path))
if command == 'get':
    print(state[sys.argv[4]])
    sys.exit(0)
if command == 'write':
    sections = {}
    for name, value in state.items():
        section, key = name.split('/', 1)
        sections.setdefault(section, []).append('%s=%s' % (key, value.replace('\\', '\\\\')))
    with open(path, 'w', encoding='utf-8') as f:
        for section, lines in sections.items():
            f.write('[%s]\n%s\n\n' % (section, '\n'.join(lines)))
    sys.exit(0)
pending = json.load(open(sys.argv[4])) if len(sys.argv) > 4 else {}
strict = len(sys.argv) > 5
try:
    values = read(path)
except (OSError, configparser.Error, UnicodeDecodeError) as error:
    sys.exit('the settings file does not parse: %s' % error)
problems = []
for key in sorted(set(state) | set(pending)):
    allowed = ([state[key]] if key in state else []) + pending.get(key, [])
    if strict and key in pending and key in state:
        allowed = pending[key]
    if key not in values:
        if key in state:
            problems.append('%s is missing (was %r)' % (key, state[key][:60]))
    elif values[key] not in allowed:
        problems.append('%s is %r, expected one of %r' % (key, values[key][:60], allowed))
if problems:
    sys.exit('\n'.join(problems[:20] + (['... %d more' % (len(problems) - 20)]
                                        if len(problems) > 20 else [])))
reached = sum(1 for key in pending
              if key in values and values[key] in pending[key] and values[key] != state.get(key))
changing = sum(1 for key in pending if any(v != state.get(key) for v in pending[key]))
if changing:
    print('  %d of %d new values had reached the file' % (reached, changing), file=sys.stderr)
for key in set(state) | set(pending):
    if key in values:
        state[key] = values[key]
json.dump(state, open(state_path, 'w'))
