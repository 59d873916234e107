"""Reads the settings file the way an outside program would, for the end-to-end tests.

settings_check.py init FILE STATE EXTRA LENGTH   writes a user's file: every option, slots,
    a Membrane, a position, and EXTRA keys of LENGTH characters the program never touches
settings_check.py get FILE STATE KEY             prints the value the checks last saw
settings_check.py verify FILE STATE [strict] [KEY=VALUE...]
    The file must parse as an INI file without duplicate sections or keys and hold each
    key of STATE, or, for a KEY given, one of the VALUEs given for it: a save that may or
    may not have finished (with "strict": that must have finished). STATE is then
    updated to what the file holds.
"""
import configparser, json, os, random, string, sys

command, path, state_path = sys.argv[1:4]
if command == 'init':
    extra, length = int(sys.argv[4]), int(sys.argv[5])
    state = {'Options/' + k: v for k, v in zip(
        'TitleBar ButtonBackground LargeBevel MinimizeOnRun 3DText TextShadow SaveWinPos '
        'ConfirmExit 3Button DisplayTime TextRed TextGreen TextBlue Password'.split(),
        'Before 1 1 0 1 1 1 0 0 1 255 255 255'.split() + [''])}
    state.update({'Startup/Left': '1500', 'Startup/Top': '1500',
                  'Startup/Membrane': 'c:\\TALVENDOK\\Slate.emb'})
    for slot in range(1, 5):
        state.update({'Buttons/Button%dCaption' % slot: 'Slot %d' % slot,
                      'Buttons/Button%dEXE' % slot: '/usr/bin/true',
                      'Buttons/Button%dIcon' % slot: 'C:\\TALVENDOK\\DEFAULT.ICO'})
    random.seed(7)
    state.update({'Extra/Key%04d' % i: ''.join(random.choices(string.ascii_letters, k=length))
                  for i in range(extra)})
    sections = {}
    for name, value in state.items():
        section, key = name.split('/', 1)
        sections.setdefault(section, []).append('%s=%s' % (key, value.replace('\\', '\\\\')))
    with open(path, 'w', encoding='utf-8') as f:
        for section, lines in sections.items():
            f.write('[%s]\n%s\n\n' % (section, '\n'.join(lines)))
    os.chmod(path, 0o600)
    json.dump(state, open(state_path, 'w'))
    sys.exit(0)
state = json.load(open(state_path))
if command == 'get':
    sys.exit(print(state[sys.argv[4]]))
strict = sys.argv[4:5] == ['strict']
pending = {}
for arg in sys.argv[4 + strict:]:
    key, value = arg.split('=', 1)
    pending.setdefault(key, []).append(value)
parser = configparser.ConfigParser(interpolation=None, strict=True, delimiters=('=',))
parser.optionxform = str
try:
    with open(path, encoding='utf-8') as f:
        parser.read_file(f)
except (OSError, configparser.Error, UnicodeDecodeError) as error:
    sys.exit('the settings file does not parse: %s' % error)
unquote = lambda raw: (raw[1:-1] if len(raw) > 1 and raw[0] == raw[-1] == '"' else raw)
values = {s + '/' + k: unquote(v).replace('\\\\', '\\') for s in parser.sections()
          for k, v in parser.items(s, raw=True)}
problems = []
for key in sorted(set(state) | set(pending)):
    allowed = pending[key] if strict and key in pending else (
        [state[key]] if key in state else []) + pending.get(key, [])
    if key not in values and key in state:
        problems.append('%s is missing (was %r)' % (key, state[key][:60]))
    elif key in values and values[key] not in allowed:
        problems.append('%s is %r, expected one of %r' % (key, values[key][:60], allowed))
if problems:
    sys.exit('\n'.join(problems[:20]))
state.update({key: values[key] for key in set(state) | set(pending) if key in values})
json.dump(state, open(state_path, 'w'))
